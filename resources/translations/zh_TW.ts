<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>BubbleMarkup</name>
    <message>
        <source>Contact:</source>
        <translation>聯絡人：</translation>
    </message>
</context>
<context>
    <name>ExportMessagesHtml</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
</context>
<context>
    <name>ExportMessagesThread</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>正在匯出訊息...</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>訊息：%1/%2</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>已成功匯出 %1 則訊息。</translation>
    </message>
    <message>
        <source>not support export format.</source>
        <translation>不支援此匯出格式。</translation>
    </message>
    <message>
        <source>Can not create the folder %1.</source>
        <translation>無法建立資料夾 %1。</translation>
    </message>
</context>
<context>
    <name>LineBubblePageBuilder</name>
    <message>
        <source>&lt;&lt;Previous Page</source>
        <translation>&lt;&lt;上一頁</translation>
    </message>
    <message>
        <source>&gt;&gt;Next Page</source>
        <translation>&gt;&gt;下一頁</translation>
    </message>
</context>
<context>
    <name>LineBubbleViewMgr</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>can not find %1.</source>
        <translation>找不到 %1。</translation>
    </message>
    <message>
        <source>Can not copy %1.</source>
        <translation>無法複製 %1。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
</context>
<context>
    <name>_LineGroup</name>
    <message>
        <source>[GROUP] %1</source>
        <translation>[群組] %1</translation>
    </message>
    <message>
        <source>[GROUP] %1: </source>
        <translation>[群組] %1: </translation>
    </message>
</context>
<context>
    <name>_LineMsg</name>
    <message>
        <source>[IMAGE]</source>
        <translation>[圖片]</translation>
    </message>
    <message>
        <source>[VIDEO]</source>
        <translation>[影片]</translation>
    </message>
    <message>
        <source>[VOICE]</source>
        <translation>[語音訊息]</translation>
    </message>
    <message>
        <source>[STICKER-%1]</source>
        <translation>[貼圖-%1]</translation>
    </message>
    <message>
        <source>Contact: %1</source>
        <translation>聯絡人: %1</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>位置資訊</translation>
    </message>
</context>
<context>
    <name>_LineUser</name>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
</TS>
