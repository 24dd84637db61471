<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="da" sourcelanguage="en">
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
        <translation>Support</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Tilbage til originalen</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Tilpas</translation>
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
        <translation>Avanceret</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Farveforbedring</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Farvekorrektion</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Detaljeforbedring</translation>
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
        <translation>Middellav kontrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Middelhøj kontrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Høj kontrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Der er ikke nok hukommelse til at behandle billedet.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Billedet kunne ikke klargøres til redigering.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Billedet kunne ikke behandles.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Dine ændringer går tabt, hvis du ikke gemmer dem.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Der er intet billede at gemme.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Filtypen &quot;%1&quot; kan ikke skrives.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Tilbage</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Gem som</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Før / Efter</translation>
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
        <translation>Billedglød</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Farvefilter</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignettering</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR-støjreduktion</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Højlys</translation>
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
        <translation>Skarphed</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Sløring</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Farvetone</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Mætning</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Livlighed</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rød</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grøn</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blå</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Uigennemsigtighed</translation>
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
        <translation>Billedet kunne ikke behandles med de nuværende indstillinger, så det blev ikke gemt.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Billedet kunne ikke gemmes som &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Vis ikke igen</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Luk</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Kom godt i gang</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importér tre eller flere fotos af samme motiv taget med forskellig eksponering, eller ét enkelt foto.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Vælg tilstanden Bracketing eller Enkeltfoto, og klik på Næste.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Finjustér billedet på redigeringssiden, og gem det.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Enkeltfoto-tilstand</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Bracketing-tilstand</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importér</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Fjern fotos</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Næste</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>I Enkeltfoto-tilstand skal du kun vælge ét foto.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>I Bracketing-tilstand skal du vælge mindst 3 fotos med forskellig eksponering.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Bracketing-tilstand.<byte value="xd"/>
Vælg 3 eller flere fotos med forskellig eksponering.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Enkeltfoto-tilstand.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimér</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Gendan</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Luk</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Hjælp</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprog</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Onlinehjælp</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Ofte stillede spørgsmål</translation>
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
        <translation>Sproget er skiftet. Genstart programmet.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Beklager, alle fotos i serien skal have samme opløsning.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Det valgte billede kan ikke åbnes. Det er enten beskadiget eller understøttes ikke.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>HDR-billedet kunne ikke oprettes.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>De valgte fotos er for store til den hukommelse, der er ledig på denne computer.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Dine ændringer går tabt, hvis du ikke gemmer dem.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Åbn fil</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Gem fil</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 findes allerede.
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
        <translation>Køligere</translation>
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
        <translation>Gammelt foto</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Nulstil</translation>
    </message>
</context>
</TS>
