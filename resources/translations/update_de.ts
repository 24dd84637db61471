<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Aktualisierung</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Updates werden heruntergeladen</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Verbleibende Zeit: 0 Minuten</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Updates werden heruntergeladen</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Byte</translation>
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
        <translation>von</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>etwa %1 Stunden</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 Minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 Sekunde</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 Sekunden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Das heruntergeladene Paket kann nicht ausgeführt werden!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Download abgeschlossen!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Das Installationsprogramm wird separat geöffnet</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Klicken Sie auf „OK“, um mit der Installation des Updates zu beginnen</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>Um das Update zu installieren, müssen Sie die Anwendung eventuell beenden. Dies ist ein Pflicht-Update; wenn Sie jetzt beenden, wird die Anwendung geschlossen</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>Um das Update zu installieren, müssen Sie die Anwendung eventuell beenden.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Klicken Sie auf „Öffnen“, um das Update anzuwenden</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Das heruntergeladene Update wurde nicht gefunden!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Möchten Sie den Download wirklich abbrechen? Dies ist ein Pflicht-Update; wenn Sie jetzt abbrechen, wird die Anwendung geschlossen</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Möchten Sie den Download wirklich abbrechen?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Glückwunsch! Sie verwenden die neueste Version von %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Zurzeit sind keine Updates verfügbar</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Version %1 von %2 ist erschienen!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Möchten Sie das Update jetzt herunterladen? Dies ist ein Pflicht-Update; wenn Sie jetzt abbrechen, wird die Anwendung geschlossen.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Möchten Sie das Update jetzt herunterladen?</translation>
    </message>
</context>
</TS>
