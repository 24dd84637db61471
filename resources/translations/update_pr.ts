<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Atualizador</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>A transferir atualizações</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Tempo restante: 0 minutos</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Tempo restante</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>desconhecido</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>A transferir atualizações</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Tempo restante</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconhecido</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
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
        <translation>de</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>cerca de %1 horas</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minuto</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutos</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 segundo</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 segundos</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erro</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Não é possível executar o pacote transferido!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Transferência concluída!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>O instalador será aberto separadamente</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Clique em &quot;OK&quot; para começar a instalar a atualização</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>Para instalar a atualização, poderá ter de sair da aplicação. Esta atualização é obrigatória: se sair agora, a aplicação será fechada</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>Para instalar a atualização, poderá ter de sair da aplicação.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Clique no botão &quot;Abrir&quot; para aplicar a atualização</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Não foi possível encontrar a atualização transferida!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Tem a certeza de que pretende cancelar a transferência? Esta atualização é obrigatória: se sair agora, a aplicação será fechada</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Tem a certeza de que pretende cancelar a transferência?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Parabéns! Está a utilizar a versão mais recente de %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>De momento, não há atualizações disponíveis</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Foi lançada a versão %1 de %2!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Pretende transferir a atualização agora? Esta atualização é obrigatória: se sair agora, a aplicação será fechada.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Pretende transferir a atualização agora?</translation>
    </message>
</context>
</TS>
