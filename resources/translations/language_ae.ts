<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>حول</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>الصفحة الرئيسية</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>الدعم</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>العودة إلى الأصل</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>ملاءمة</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>الحجم الفعلي</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>عرض الأصل</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>تأثير</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>متقدم</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>تحسين الألوان</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>تصحيح الألوان</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>تحسين التفاصيل</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>تحسين التباين</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>تباين منخفض</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>تباين متوسط منخفض</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>تباين متوسط مرتفع</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>تباين مرتفع</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>لا توجد ذاكرة كافية لمعالجة الصورة.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>تعذّر تجهيز الصورة للتحرير.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>تعذّرت معالجة الصورة.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>ستفقد تغييراتك إذا لم تحفظها.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>لا توجد صورة لحفظها.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>لا يمكن كتابة نوع الملف &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>رجوع</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>حفظ باسم</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>قبل / بعد</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>درجة لونية ذكية</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>إشراق الصورة</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>مرشح الألوان</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>التظليل الطرفي</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>إزالة تشويش HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>الإضاءات</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>الظلال</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>التباين</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>السطوع</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>الحدة</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>التمويه</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>درجة الحرارة</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>الصبغة</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>جاما</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>التشبع</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>الحيوية</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>أحمر</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>أخضر</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>أزرق</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>العتامة</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>المقدار</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>تشويش الإضاءة</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>تشويش الألوان</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>تعذّرت معالجة الصورة بالإعدادات الحالية، لذلك لم يتم حفظها.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>تعذّر حفظ الصورة باسم &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>عدم الإظهار مرة أخرى</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>البدء</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. استورد ثلاث صور أو أكثر لمشهد واحد ملتقطة بتعريضات مختلفة، أو صورة واحدة.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. اختر وضع التعريض المتدرج أو وضع الصورة الواحدة ثم انقر على التالي.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. حسّن الصورة في صفحة التحرير ثم احفظها.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>وضع الصورة الواحدة</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>وضع التعريض المتدرج</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>استيراد</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>إزالة الصور</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>التالي</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>في وضع الصورة الواحدة، يكفي أن تختار صورة واحدة فقط.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>في وضع التعريض المتدرج، يجب أن تختار 3 صور على الأقل بتعريضات مختلفة.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>وضع التعريض المتدرج.<byte value="xd"/>
يُرجى اختيار 3 صور أو أكثر بتعريضات مختلفة.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>وضع الصورة الواحدة.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>القائمة</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>تصغير</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>استعادة</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>تعليمات</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>اللغة</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>التعليمات عبر الإنترنت</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>الأسئلة الشائعة</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>الاتصال بخدمة العملاء</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>حول</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>تم تغيير اللغة بنجاح، يُرجى إعادة تشغيل التطبيق.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>عذرًا، يجب أن تكون دقة جميع الصور في المجموعة متطابقة.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>تعذّر فتح الصورة المحددة. إما أنها تالفة أو غير مدعومة.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>تعذّر إنشاء صورة HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>الصور المحددة كبيرة جدًا بالنسبة للذاكرة المتاحة على هذا الكمبيوتر.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>ستفقد تغييراتك إذا لم تحفظها.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>فتح ملف</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>حفظ الملف</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 موجود بالفعل.
هل تريد استبداله؟</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>الأصلية</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>كلاسيكي</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>طبيعة فائقة</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>سحر</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>أبرد</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>منعش</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>سماء زرقاء</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>لوحة فنية</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>أبيض وأسود</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>أبيض وأسود فائق</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>صورة قديمة</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>إعادة تعيين</translation>
    </message>
</context>
</TS>
