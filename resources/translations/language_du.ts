<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Over</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Startpagina</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Ondersteuning</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Terug naar origineel</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Passend maken</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Werkelijke grootte</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Origineel bekijken</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Geavanceerd</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Kleurverbetering</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Kleurcorrectie</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Detailverbetering</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Contrastverbetering</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Laag contrast</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Middellaag contrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Middelhoog contrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Hoog contrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Er is onvoldoende geheugen om de afbeelding te verwerken.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>De afbeelding kon niet worden voorbereid voor bewerking.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>De afbeelding kon niet worden verwerkt.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Uw wijzigingen gaan verloren als u ze niet opslaat.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Er is geen afbeelding om op te slaan.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Het bestandstype &apos;%1&apos; kan niet worden geschreven.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Terug</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Opslaan als</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Voor / Na</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Slimme toon</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Beeldhelderheid</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Kleurfilter</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignettering</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR-ruisonderdrukking</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Hooglichten</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Schaduwen</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Helderheid</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Scherpte</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Vervaging</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatuur</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Tint</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Verzadiging</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Levendigheid</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rood</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Groen</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blauw</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Dekking</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Sterkte</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminantie</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Chrominantie</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>De afbeelding kon niet met de huidige instellingen worden verwerkt en is daarom niet opgeslagen.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>De afbeelding kon niet worden opgeslagen als &apos;%1&apos;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Niet meer weergeven</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Aan de slag</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importeer drie of meer foto&apos;s van één onderwerp met verschillende belichtingen, of één enkele foto.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Kies de modus Bracketing of de modus Enkele foto en klik op Volgende.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Verfijn de afbeelding op de bewerkingspagina en sla deze op.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Modus Enkele foto</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Modus Bracketing</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importeren</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Foto&apos;s verwijderen</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Volgende</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>In de modus Enkele foto selecteert u slechts één foto.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>In de modus Bracketing selecteert u minstens 3 foto&apos;s met verschillende belichtingen.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Modus Bracketing.<byte value="xd"/>
Selecteer 3 of meer foto&apos;s met verschillende belichtingen.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Modus Enkele foto.</translation>
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
        <translation>Minimaliseren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Herstellen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Taal</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Online help</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Veelgestelde vragen</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Contact met klantenservice</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Over</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>De taal is gewijzigd. Start de toepassing opnieuw.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Helaas, alle foto&apos;s van de reeks moeten dezelfde resolutie hebben.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>De geselecteerde afbeelding kan niet worden geopend. Ze is beschadigd of wordt niet ondersteund.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Kan de HDR-afbeelding niet maken.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>De geselecteerde foto&apos;s zijn te groot voor het beschikbare geheugen van deze computer.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Uw wijzigingen gaan verloren als u ze niet opslaat.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Bestand openen</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Bestand opslaan</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 bestaat al.
Wilt u het vervangen?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Origineel</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klassiek</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Super natuur</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magie</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Koeler</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Fris</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Blauwe lucht</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Schilderachtig</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>Z/W</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super Z/W</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Oude foto</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Herstellen</translation>
    </message>
</context>
</TS>
