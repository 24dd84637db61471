<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>更新程序</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>剩余时间：0 分钟</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
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
        <translation>约 %1 小时</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 分钟</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 分钟</translation>
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
        <translation>错误</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>无法运行下载的安装包！</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>下载完成！</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>安装程序将单独打开</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>单击“确定”开始安装更新</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>安装更新可能需要退出应用程序。这是一个强制更新，现在退出将关闭应用程序</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>安装更新可能需要退出应用程序。</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>单击“打开”按钮以应用更新</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>找不到下载的更新！</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>确定要取消下载吗？这是一个强制更新，现在退出将关闭应用程序</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>确定要取消下载吗？</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>恭喜！您正在使用最新版本的 %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>目前没有可用的更新</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>%2 的 %1 版本已发布！</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>是否立即下载更新？这是一个强制更新，现在退出将关闭应用程序。</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>是否立即下载更新？</translation>
    </message>
</context>
</TS>
