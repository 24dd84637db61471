<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Hakkında</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Ana sayfa</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Destek</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Orijinale dön</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Sığdır</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Gerçek boyut</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Orijinali göster</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Efekt</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Gelişmiş</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Renk iyileştirme</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Renk düzeltme</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Ayrıntı iyileştirme</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Kontrast iyileştirme</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Düşük kontrast</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Orta düşük kontrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Orta yüksek kontrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Yüksek kontrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Resmi işlemek için yeterli bellek yok.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Resim düzenleme için hazırlanamadı.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Resim işlenemedi.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Kaydetmezseniz değişiklikleriniz kaybolacak.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Kaydedilecek resim yok.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>&quot;%1&quot; dosya türü yazılamıyor.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Geri</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Farklı kaydet</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Önce / Sonra</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Akıllı ton</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Görüntü parlaklığı</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Renk filtresi</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vinyet</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR gürültü azaltma</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Vurgular</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Gölgeler</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Parlaklık</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Keskinlik</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Bulanıklık</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Sıcaklık</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Renk tonu</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gama</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Doygunluk</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Canlılık</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Kırmızı</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Yeşil</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Mavi</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opaklık</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Miktar</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Parlaklık gürültüsü</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Renk gürültüsü</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Resim mevcut ayarlarla işlenemediği için kaydedilmedi.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Resim &quot;%1&quot; olarak kaydedilemedi.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Bir daha gösterme</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Başlarken</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Aynı sahnenin farklı pozlamalarla çekilmiş üç veya daha fazla fotoğrafını ya da tek bir fotoğrafı içe aktarın.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Basamaklama modunu veya Tek fotoğraf modunu seçip İleri&apos;ye tıklayın.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Resmi düzenleme sayfasında iyileştirip kaydedin.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Tek fotoğraf modu</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Basamaklama modu</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>İçe aktar</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Fotoğrafları kaldır</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>İleri</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>Tek fotoğraf modunda yalnızca bir fotoğraf seçmelisiniz.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>Basamaklama modunda farklı pozlamalara sahip en az 3 fotoğraf seçmelisiniz.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Basamaklama modu.<byte value="xd"/>
Lütfen farklı pozlamalara sahip 3 veya daha fazla fotoğraf seçin.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Tek fotoğraf modu.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Simge durumuna küçült</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Geri yükle</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Yardım</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Dil</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Çevrimiçi yardım</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Sık sorulan sorular</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Müşteri hizmetlerine ulaşın</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Hakkında</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>Dil başarıyla değiştirildi, lütfen uygulamayı yeniden başlatın.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Üzgünüz, serideki tüm fotoğrafların çözünürlüğü aynı olmalıdır.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Seçilen resim açılamıyor. Resim hasarlı ya da desteklenmiyor.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>HDR oluşturulamadı.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Seçilen fotoğraflar bu bilgisayardaki kullanılabilir bellek için çok büyük.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Kaydetmezseniz değişiklikleriniz kaybolacak.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Dosya aç</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Dosyayı kaydet</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 zaten var.
Değiştirmek istiyor musunuz?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Orijinal</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klasik</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Süper doğa</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Sihir</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Daha soğuk</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Taze</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Mavi gökyüzü</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Resimsel</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>S/B</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Süper S/B</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Eski fotoğraf</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Sıfırla</translation>
    </message>
</context>
</TS>
