<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nb_NO" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Om</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Hjemmeside</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Brukerstøtte</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Tilbake til originalen</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Tilpass</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Faktisk størrelse</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Vis original</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effekt</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avansert</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Fargeforbedring</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Fargekorrigering</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Detaljforbedring</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Kontrastforbedring</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Lav kontrast</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Middels lav kontrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Middels høy kontrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Høy kontrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Det er ikke nok minne til å behandle bildet.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Bildet kunne ikke klargjøres for redigering.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Bildet kunne ikke behandles.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Endringene dine går tapt hvis du ikke lagrer dem.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Det finnes ikke noe bilde å lagre.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Filtypen «%1» kan ikke skrives.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Tilbake</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Lagre som</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Før / Etter</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Smart tone</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Bildeglød</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Fargefilter</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignettering</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR-støyreduksjon</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Høylys</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Skygger</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Lysstyrke</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Skarphet</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Uskarphet</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Fargetone</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Metning</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Livfullhet</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rød</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grønn</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blå</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Dekkevne</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Styrke</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminans</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Krominans</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Bildet kunne ikke behandles med de gjeldende innstillingene, så det ble ikke lagret.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Bildet kunne ikke lagres som «%1».</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Ikke vis igjen</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Lukk</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Kom i gang</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importer tre eller flere bilder av samme motiv tatt med ulik eksponering, eller ett enkelt bilde.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Velg modusen Bracketing eller Enkeltbilde, og klikk på Neste.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Finjuster bildet på redigeringssiden, og lagre det.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Enkeltbildemodus</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Bracketing-modus</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importer</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Fjern bilder</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Neste</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>I enkeltbildemodus skal du bare velge ett bilde.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>I bracketing-modus må du velge minst 3 bilder med ulik eksponering.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Bracketing-modus.<byte value="xd"/>
Velg 3 eller flere bilder med ulik eksponering.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Enkeltbildemodus.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Meny</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimer</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Gjenopprett</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Lukk</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Hjelp</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Språk</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Nettbasert hjelp</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Vanlige spørsmål</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Kontakt kundeservice</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Om</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>Språket er endret. Start programmet på nytt.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Beklager, alle bildene i serien må ha samme oppløsning.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Det valgte bildet kan ikke åpnes. Det er enten skadet eller støttes ikke.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Kan ikke lage HDR-bildet.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>De valgte bildene er for store for minnet som er tilgjengelig på denne datamaskinen.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Endringene dine går tapt hvis du ikke lagrer dem.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Åpne fil</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Lagre fil</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 finnes allerede.
Vil du erstatte den?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klassisk</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Supernatur</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magi</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Kjøligere</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Frisk</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Blå himmel</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Malerisk</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>S/H</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super S/H</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Gammelt bilde</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Tilbakestill</translation>
    </message>
</context>
</TS>
