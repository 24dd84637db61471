<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Auf Original zurücksetzen</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Einpassen</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Original anzeigen</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effekt</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Farbverbesserung</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Farbkorrektur</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Detailverbesserung</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Kontrastverbesserung</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Niedriger Kontrast</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Mittelniedriger Kontrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Mittelhoher Kontrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Hoher Kontrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Für die Bearbeitung des Bildes ist nicht genügend Speicher vorhanden.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Das Bild konnte nicht für die Bearbeitung vorbereitet werden.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Das Bild konnte nicht bearbeitet werden.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Es ist kein Bild zum Speichern vorhanden.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Der Dateityp „%1“ kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Vorher / Nachher</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Intelligente Tonwerte</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Bildleuchtkraft</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Farbfilter</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignettierung</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR-Rauschminderung</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Lichter</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Schatten</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Schärfe</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Weichzeichnen</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Farbtemperatur</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Tönung</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Sättigung</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Dynamik</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Deckkraft</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Stärke</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminanz</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Chrominanz</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Das Bild konnte mit den aktuellen Einstellungen nicht verarbeitet werden und wurde daher nicht gespeichert.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Das Bild konnte nicht als „%1“ gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Nicht mehr anzeigen</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Erste Schritte</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importieren Sie drei oder mehr Fotos einer Szene mit unterschiedlicher Belichtung oder ein einzelnes Foto.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Wählen Sie den Belichtungsreihen-Modus oder den Einzelfoto-Modus und klicken Sie auf „Weiter“.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Verfeinern Sie das Bild auf der Bearbeitungsseite und speichern Sie es.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Einzelfoto-Modus</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Belichtungsreihen-Modus</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Fotos entfernen</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>Im Einzelfoto-Modus wählen Sie bitte nur ein Foto aus.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>Im Belichtungsreihen-Modus wählen Sie bitte mindestens 3 Fotos mit unterschiedlicher Belichtung aus.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Belichtungsreihen-Modus.<byte value="xd"/>
Bitte wählen Sie 3 oder mehr Fotos mit unterschiedlicher Belichtung aus.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Einzelfoto-Modus.</translation>
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
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Online-Hilfe</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Produkt-FAQ</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Kundendienst kontaktieren</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>Die Sprache wurde erfolgreich umgestellt. Bitte starten Sie die Anwendung neu.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Die Quellbilder einer Serie müssen leider alle dieselbe Auflösung haben.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Das ausgewählte Bild kann nicht geöffnet werden. Es ist entweder beschädigt oder wird nicht unterstützt.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>HDR kann nicht erstellt werden.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Die ausgewählten Fotos sind zu groß für den auf diesem Computer verfügbaren Arbeitsspeicher.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existiert bereits.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klassisch</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Super-Natur</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magie</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Kühler</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Frisch</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Blauer Himmel</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Malerisch</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>S/W</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super-S/W</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Altes Foto</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Zurücksetzen</translation>
    </message>
</context>
</TS>
