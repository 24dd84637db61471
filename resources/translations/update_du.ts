<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Updateprogramma</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Updates downloaden</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Resterende tijd: 0 minuten</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Openen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Resterende tijd</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>onbekend</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Updates downloaden</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Resterende tijd</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Onbekend</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
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
        <translation>van</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>ongeveer %1 uur</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minuut</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minuten</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 seconde</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 seconden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fout</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Kan het gedownloade pakket niet uitvoeren!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Download voltooid!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Het installatieprogramma wordt apart geopend</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Klik op &apos;OK&apos; om de installatie van de update te starten</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>Om de update te installeren, moet u de toepassing mogelijk afsluiten. Dit is een verplichte update: als u nu afsluit, wordt de toepassing gesloten</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>Om de update te installeren, moet u de toepassing mogelijk afsluiten.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Klik op de knop &apos;Openen&apos; om de update toe te passen</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Kan de gedownloade update niet vinden!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Weet u zeker dat u de download wilt annuleren? Dit is een verplichte update: als u nu afsluit, wordt de toepassing gesloten</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Weet u zeker dat u de download wilt annuleren?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Gefeliciteerd! U gebruikt de nieuwste versie van %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Er zijn momenteel geen updates beschikbaar</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Versie %1 van %2 is uitgebracht!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Wilt u de update nu downloaden? Dit is een verplichte update: als u nu afsluit, wordt de toepassing gesloten.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Wilt u de update nu downloaden?</translation>
    </message>
</context>
</TS>
