<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nb_NO" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Oppdatering</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Laster ned oppdateringer</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Gjenstående tid: 0 minutter</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Åpne</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Gjenstående tid</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>ukjent</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Laster ned oppdateringer</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Gjenstående tid</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Ukjent</translation>
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
        <translation>av</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>omtrent %1 timer</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minutt</translation>
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
        <translation>Feil</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Kan ikke kjøre den nedlastede pakken!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Lukk</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Nedlastingen er fullført!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Installasjonsprogrammet åpnes separat</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Klikk på «OK» for å begynne å installere oppdateringen</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>For å installere oppdateringen må du kanskje avslutte programmet. Dette er en obligatorisk oppdatering; avslutter du nå, lukkes programmet</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>For å installere oppdateringen må du kanskje avslutte programmet.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Klikk på knappen «Åpne» for å ta i bruk oppdateringen</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Finner ikke den nedlastede oppdateringen!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Er du sikker på at du vil avbryte nedlastingen? Dette er en obligatorisk oppdatering; avslutter du nå, lukkes programmet</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Er du sikker på at du vil avbryte nedlastingen?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Gratulerer! Du bruker den nyeste versjonen av %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Ingen oppdateringer er tilgjengelige for øyeblikket</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Versjon %1 av %2 er lansert!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Vil du laste ned oppdateringen nå? Dette er en obligatorisk oppdatering; avslutter du nå, lukkes programmet.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Vil du laste ned oppdateringen nå?</translation>
    </message>
</context>
</TS>
