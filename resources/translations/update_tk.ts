<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Güncelleyici</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Güncellemeler indiriliyor</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Kalan süre: 0 dakika</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Aç</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Durdur</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Kalan süre</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>bilinmiyor</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Güncellemeler indiriliyor</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Kalan süre</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Bilinmiyor</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bayt</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>of</source>
        <translation>/</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>yaklaşık %1 saat</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 dakika</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 dakika</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 saniye</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 saniye</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>İndirilen paket çalıştırılamıyor!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>İndirme tamamlandı!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Kurulum programı ayrı olarak açılacak</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Güncellemeyi kurmaya başlamak için &quot;Tamam&quot;a tıklayın</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>Güncellemeyi kurmak için uygulamadan çıkmanız gerekebilir. Bu zorunlu bir güncellemedir; şimdi çıkarsanız uygulama kapanır</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>Güncellemeyi kurmak için uygulamadan çıkmanız gerekebilir.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Güncellemeyi uygulamak için &quot;Aç&quot; düğmesine tıklayın</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>İndirilen güncelleme bulunamıyor!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>İndirmeyi iptal etmek istediğinizden emin misiniz? Bu zorunlu bir güncellemedir; şimdi çıkarsanız uygulama kapanır</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>İndirmeyi iptal etmek istediğinizden emin misiniz?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Tebrikler! %1 uygulamasının en son sürümünü kullanıyorsunuz</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Şu anda kullanılabilir güncelleme yok</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>%2 uygulamasının %1 sürümü yayımlandı!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Güncellemeyi şimdi indirmek ister misiniz? Bu zorunlu bir güncellemedir; şimdi çıkarsanız uygulama kapanır.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Güncellemeyi şimdi indirmek ister misiniz?</translation>
    </message>
</context>
</TS>
