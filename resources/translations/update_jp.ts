<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>アップデートをダウンロードしています</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>残り時間: 0 分</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>残り時間</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>アップデートをダウンロードしています</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>残り時間</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 バイト</translation>
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
        <translation>/</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>約 %1 時間</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 分</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 分</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 秒</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>ダウンロードしたパッケージを実行できません。</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>ダウンロードが完了しました。</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>インストーラーは別に開きます</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>[OK] をクリックするとアップデートのインストールを開始します</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>アップデートをインストールするには、アプリケーションの終了が必要な場合があります。これは必須のアップデートです。今終了するとアプリケーションが閉じます</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>アップデートをインストールするには、アプリケーションの終了が必要な場合があります。</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>[開く] ボタンをクリックしてアップデートを適用してください</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>ダウンロードしたアップデートが見つかりません。</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>ダウンロードをキャンセルしてもよろしいですか? これは必須のアップデートです。今終了するとアプリケーションが閉じます</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>ダウンロードをキャンセルしてもよろしいですか?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>おめでとうございます。%1 の最新バージョンをお使いです</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>現在利用できるアップデートはありません</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>%2 のバージョン %1 がリリースされました。</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>今すぐアップデートをダウンロードしますか? これは必須のアップデートです。今終了するとアプリケーションが閉じます。</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>今すぐアップデートをダウンロードしますか?</translation>
    </message>
</context>
</TS>
