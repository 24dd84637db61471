<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>المحدِّث</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>جارٍ تنزيل التحديثات</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>الوقت المتبقي: 0 دقيقة</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>فتح</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>إيقاف</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>الوقت المتبقي</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>غير معروف</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>جارٍ تنزيل التحديثات</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>الوقت المتبقي</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>غير معروف</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 بايت</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 ك.ب</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 م.ب</translation>
    </message>
    <message>
        <source>of</source>
        <translation>من</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>حوالي %1 ساعة</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>دقيقة واحدة</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 دقيقة</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>ثانية واحدة</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 ثانية</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>خطأ</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>تعذّر تشغيل الحزمة التي تم تنزيلها!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>اكتمل التنزيل!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>سيفتح برنامج التثبيت بشكل منفصل</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>انقر على &quot;موافق&quot; لبدء تثبيت التحديث</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>لتثبيت التحديث، قد تحتاج إلى إنهاء التطبيق. هذا تحديث إلزامي، والخروج الآن سيغلق التطبيق</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>لتثبيت التحديث، قد تحتاج إلى إنهاء التطبيق.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>انقر على زر &quot;فتح&quot; لتطبيق التحديث</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>تعذّر العثور على التحديث الذي تم تنزيله!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>هل أنت متأكد من أنك تريد إلغاء التنزيل؟ هذا تحديث إلزامي، والخروج الآن سيغلق التطبيق</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>هل أنت متأكد من أنك تريد إلغاء التنزيل؟</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>تهانينا! أنت تستخدم أحدث إصدار من %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>لا توجد تحديثات متاحة في الوقت الحالي</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>تم إصدار الإصدار %1 من %2!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>هل تريد تنزيل التحديث الآن؟ هذا تحديث إلزامي، والخروج الآن سيغلق التطبيق.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>هل تريد تنزيل التحديث الآن؟</translation>
    </message>
</context>
</TS>
