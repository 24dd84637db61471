<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="da" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Opdatering</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Henter opdateringer</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Resterende tid: 0 minutter</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Åbn</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Resterende tid</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>ukendt</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Henter opdateringer</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Resterende tid</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Ukendt</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 byte</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 kB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>of</source>
        <translation>af</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>ca. %1 timer</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minut</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutter</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 sekund</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 sekunder</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fejl</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Den hentede pakke kan ikke køres!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Luk</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Overførslen er fuldført!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Installationsprogrammet åbnes separat</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Klik på &quot;OK&quot; for at begynde at installere opdateringen</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>For at installere opdateringen skal du muligvis afslutte programmet. Dette er en obligatorisk opdatering; hvis du afslutter nu, lukkes programmet</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>For at installere opdateringen skal du muligvis afslutte programmet.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Klik på knappen &quot;Åbn&quot; for at anvende opdateringen</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Den hentede opdatering blev ikke fundet!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Er du sikker på, at du vil annullere overførslen? Dette er en obligatorisk opdatering; hvis du afslutter nu, lukkes programmet</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Er du sikker på, at du vil annullere overførslen?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Tillykke! Du bruger den nyeste version af %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Der er ingen tilgængelige opdateringer i øjeblikket</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Version %1 af %2 er udkommet!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Vil du hente opdateringen nu? Dette er en obligatorisk opdatering; hvis du afslutter nu, lukkes programmet.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Vil du hente opdateringen nu?</translation>
    </message>
</context>
</TS>
