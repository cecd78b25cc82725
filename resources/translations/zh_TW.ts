<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AboutUsForm</name>
    <message>
        <source>关于</source>
        <translation>關於</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>Built with Qt %1</source>
        <translation>使用 Qt %1 建置</translation>
    </message>
</context>
<context>
    <name>BackupFileMerger</name>
    <message>
        <source>Transferring files...</source>
        <translation>正在傳輸檔案...</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>檔案: %1</translation>
    </message>
    <message>
        <source>The keybag of the backup %1 holds no key of protection class %2.</source>
        <translation>備份 %1 的金鑰包中沒有保護類別 %2 的金鑰。</translation>
    </message>
    <message>
        <source>cannot overwrite %1</source>
        <translation>無法覆寫 %1</translation>
    </message>
</context>
<context>
    <name>BackupLineLoad</name>
    <message>
        <source>%1 is not a backup folder.</source>
        <translation>%1 不是備份資料夾。</translation>
    </message>
    <message>
        <source>Found no Line data in your iTunes Backup. Please check if you have installed and logined Line on your iPhone.</source>
        <translation>在您的iTunes備份中找不到Line資料。請確認您已在iPhone上安裝並登入Line。</translation>
    </message>
</context>
<context>
    <name>BackupLineMessagesThread</name>
    <message>
        <source>IDS_BACKING_UP_LINE_MESSAGES</source>
        <translation>正在備份 LINE 訊息...</translation>
    </message>
    <message>
        <source>IDS_SUC_BACKUP_%1_MESSAGES_%2_NEW_%3_EXISTING</source>
        <translation>已成功備份 %1 則訊息：新增 %2 則，已存在 %3 則。</translation>
    </message>
</context>
<context>
    <name>BackupTransaction</name>
    <message>
        <source>Another run of the program is changing the backup %1. Try again when it has finished.</source>
        <translation>另一個執行中的程式正在變更備份 %1。請在它結束後再試一次。</translation>
    </message>
    <message>
        <source>cannot write into the backup %1.</source>
        <translation>無法寫入備份 %1。</translation>
    </message>
    <message>
        <source>cannot write %1. %2</source>
        <translation>無法寫入 %1。%2</translation>
    </message>
</context>
<context>
    <name>BigramTokenizer</name>
    <message>
        <source>This SQLite has no full-text search (FTS5).</source>
        <translation>此 SQLite 沒有全文檢索 (FTS5)。</translation>
    </message>
</context>
<context>
    <name>BubbleMarkup</name>
    <message>
        <source>Contact:</source>
        <translation>聯絡人：</translation>
    </message>
</context>
<context>
    <name>DataSourceSelForm</name>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER</source>
        <translation>請選擇一個裝置。</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_ONE_DATASOURCE</source>
        <translation>請先選擇一個裝置再繼續。</translation>
    </message>
</context>
<context>
    <name>DeviceBackupSettings</name>
    <message>
        <source>Failed to transfer data to device. Please turn off iCloud backup on your iPhone to try again.</source>
        <translation>無法將資料傳輸到裝置。請關閉 iPhone 上的 iCloud 備份後再試一次。</translation>
    </message>
    <message>
        <source>Failed to transfer data to device. Your iTunes backup is encrypted. Please run iTunes on computer and then uncheck &quot;Encrypt iPhone backup&quot; option to try again.</source>
        <translation>無法將資料傳輸到裝置。您的 iTunes 備份已加密。請在電腦上執行 iTunes，取消勾選「將 iPhone 備份加密」選項後再試一次。</translation>
    </message>
</context>
<context>
    <name>DeviceLineLoad</name>
    <message>
        <source>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</source>
        <translation>無法存取 iPhone 上的 LINE 資料。請確認 iPhone 已安裝並登入 LINE。</translation>
    </message>
</context>
<context>
    <name>DevicePartialBackup</name>
    <message>
        <source>Loading data from Device...</source>
        <translation>正在從裝置載入資料...</translation>
    </message>
</context>
<context>
    <name>DeviceRestore</name>
    <message>
        <source>Transferring data to Device...</source>
        <translation>正在將資料傳輸到裝置...</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
</context>
<context>
    <name>ExportIndexPage</name>
    <message>
        <source>Exported chats</source>
        <translation>匯出的聊天</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>訊息數</translation>
    </message>
    <message>
        <source>First message</source>
        <translation>第一則訊息</translation>
    </message>
    <message>
        <source>Last message</source>
        <translation>最後一則訊息</translation>
    </message>
</context>
<context>
    <name>ExportMessagesHtml</name>
    <message>
        <source>%1 (page %2)</source>
        <translation>%1（第 %2 頁）</translation>
    </message>
    <message>
        <source>All chats</source>
        <translation>所有聊天</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>上一頁</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>下一頁</translation>
    </message>
</context>
<context>
    <name>ExportMessagesPdf</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>正在匯出訊息...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>已成功匯出 %1 則訊息。</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>訊息：%1/%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>無法建立資料夾 %1。</translation>
    </message>
    <message>
        <source>Cannot write the file %1.</source>
        <translation>無法寫入檔案 %1。</translation>
    </message>
</context>
<context>
    <name>ExportMessagesThread</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>正在匯出訊息...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>已成功匯出 %1 則訊息。</translation>
    </message>
</context>
<context>
    <name>ExportTextFile</name>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>無法寫入 %1：%2</translation>
    </message>
</context>
<context>
    <name>ExtractMediaFilesThread</name>
    <message>
        <source>IDS_EXTRACTING_MEDIA_FILES</source>
        <translation>正在擷取附件...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1</source>
        <translation>已成功將附件擷取到 %1。</translation>
    </message>
    <message>
        <source>Extracted %1 attachments to %2, but %3 could not be copied.
%4</source>
        <translation>已將 %1 個附件擷取到 %2，但有 %3 個無法複製。
%4</translation>
    </message>
    <message>
        <source>%1 attachments were already there and were not copied again.</source>
        <translation>%1 個附件已存在，未再次複製。</translation>
    </message>
</context>
<context>
    <name>IOSLineDb</name>
    <message>
        <source>Found no LINE messages in %1.</source>
        <translation>在 %1 中找不到 LINE 訊息。</translation>
    </message>
    <message>
        <source>%1 is not a LINE message database this program can read: it has no %2.</source>
        <translation>%1 不是本程式可讀取的 LINE 訊息資料庫：缺少 %2。</translation>
    </message>
    <message>
        <source>Messages cannot be written into %1: it lacks %2.</source>
        <translation>無法將訊息寫入 %1：缺少 %2。</translation>
    </message>
</context>
<context>
    <name>IOSLineStoreCache</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>無法讀取 %1：%2</translation>
    </message>
    <message>
        <source>%1 cannot be copied into the program&apos;s cache (%2): %3</source>
        <translation>無法將 %1 複製到程式的快取（%2）：%3</translation>
    </message>
    <message>
        <source>The program&apos;s cache folder %1 cannot be replaced.</source>
        <translation>無法取代程式的快取資料夾 %1。</translation>
    </message>
    <message>
        <source>The program&apos;s cache folder %1 cannot be created.</source>
        <translation>無法建立程式的快取資料夾 %1。</translation>
    </message>
    <message>
        <source>Copying LINE&apos;s message store...</source>
        <translation>正在複製 LINE 的訊息資料...</translation>
    </message>
    <message>
        <source>Neither the program&apos;s cache %1 nor a temporary folder can be written.</source>
        <translation>無法寫入程式的快取 %1，也無法寫入暫存資料夾。</translation>
    </message>
</context>
<context>
    <name>IOSLoadLineFromiTunesThread</name>
    <message>
        <source>IDS_LOADING_ITUNES_BACKUP</source>
        <translation>正在從 iTunes 備份載入資料...</translation>
    </message>
    <message>
        <source>IDS_CACHING_BACKUP_FILE_%1</source>
        <translation>正在載入 %1...</translation>
    </message>
</context>
<context>
    <name>IOSMobileBackupThread</name>
    <message>
        <source>Note: You can restart your device to try again.</source>
        <translation>注意：您可以重新啟動裝置後再試一次。</translation>
    </message>
    <message>
        <source>this tutorial</source>
        <translation>此教學</translation>
    </message>
    <message>
        <source>tutorial</source>
        <translation>教學</translation>
    </message>
    <message>
        <source>Connection to device lost. Please try the following solutions:</source>
        <translation>與裝置的連線中斷。請嘗試以下解決方法：</translation>
    </message>
    <message>
        <source>Failed to connect your iPhone. Please try the following solutions:</source>
        <translation>無法連接您的 iPhone。請嘗試以下解決方法：</translation>
    </message>
    <message>
        <source>A:
Step 1) Restart your iPhone.
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</source>
        <translation>A:
步驟 1) 重新啟動您的 iPhone。
步驟 2) 將 iPhone 連接到 iTunes，在電腦上備份您的 iPhone。
步驟 3) 執行 Vantorel 軟體再試一次。</translation>
    </message>
    <message>
        <source>B:
Step 1) Delete the lockdown folder from your computer.%1
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</source>
        <translation>B:
步驟 1) 從電腦刪除 lockdown 資料夾。%1
步驟 2) 將 iPhone 連接到 iTunes，在電腦上備份您的 iPhone。
步驟 3) 執行 Vantorel 軟體再試一次。</translation>
    </message>
    <message>
        <source>How to</source>
        <translation>操作方法</translation>
    </message>
    <message>
        <source>Note: You can follow this tutorial to try.</source>
        <translation>注意：您可以依照此教學嘗試。</translation>
    </message>
    <message>
        <source>Tip: You can follow this tutorial to try.</source>
        <translation>提示：您可以依照此教學嘗試。</translation>
    </message>
    <message>
        <source>Please enter your passcode on your iPhone to start the encrypted backup.</source>
        <translation>請在 iPhone 上輸入密碼以開始加密備份。</translation>
    </message>
</context>
<context>
    <name>IOSRestoreLineMsgThread</name>
    <message>
        <source>IDS_RESTORING_LINE_MSG_TO_IOS</source>
        <translation>正在將訊息傳輸到 iPhone...</translation>
    </message>
    <message>
        <source>Please restart your phone to try again.</source>
        <translation>請重新啟動您的手機後再試一次。</translation>
    </message>
</context>
<context>
    <name>IOSiTunesBKSetPasswordThread</name>
    <message>
        <source>Verifying. Please wait...</source>
        <translation>正在驗證，請稍候...</translation>
    </message>
</context>
<context>
    <name>ItemModelMain</name>
    <message>
        <source>IDS_ROOT_DEVICE</source>
        <translation>裝置</translation>
    </message>
    <message>
        <source>IDS_ROOT_LOCALDB</source>
        <translation>本機資料庫</translation>
    </message>
</context>
<context>
    <name>ItemModelSms</name>
    <message>
        <source>To</source>
        <translation>傳送</translation>
    </message>
    <message>
        <source>From</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Flag</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>聯絡人</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>內容</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>Language</source>
        <translation>語言</translation>
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
        <source>Cannot copy %1.</source>
        <translation>無法複製 %1。</translation>
    </message>
    <message>
        <source>cannot find %1.</source>
        <translation>找不到 %1。</translation>
    </message>
</context>
<context>
    <name>LineLocalDb</name>
    <message>
        <source>The database layout cannot be read: %1</source>
        <translation>無法讀取資料庫結構：%1</translation>
    </message>
    <message>
        <source>The message database cannot be created: %1</source>
        <translation>無法建立訊息資料庫：%1</translation>
    </message>
    <message>
        <source>%1 is not a message database of this program (the table %2 is missing).</source>
        <translation>%1 不是本程式的訊息資料庫（缺少資料表 %2）。</translation>
    </message>
    <message>
        <source>The folder %1 of the message database cannot be created.</source>
        <translation>無法建立訊息資料庫的資料夾 %1。</translation>
    </message>
    <message>
        <source>The message database %1 cannot be created: %2</source>
        <translation>無法建立訊息資料庫 %1：%2</translation>
    </message>
</context>
<context>
    <name>LineTransferFlow</name>
    <message>
        <source>%1 can&apos;t be the name of a local database.</source>
        <translation>%1 不能作為本機資料庫的名稱。</translation>
    </message>
    <message>
        <source>The messages come from this backup: choose another one to transfer them to.</source>
        <translation>訊息來自此備份：請選擇另一個備份作為傳輸目標。</translation>
    </message>
    <message>
        <source>Can&apos;t create a temporary folder: %1</source>
        <translation>無法建立暫存資料夾：%1</translation>
    </message>
    <message>
        <source>Successfully transferred %1 messages to iPhone.</source>
        <translation>已成功將 %1 則訊息傳輸到iPhone。</translation>
    </message>
    <message>
        <source>The messages come from this iPhone: choose another one to transfer them to.</source>
        <translation>訊息來自此iPhone：請選擇另一部iPhone作為傳輸目標。</translation>
    </message>
    <message>
        <source>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</source>
        <translation>無法存取您iPhone上的Line資料。請確認您已在iPhone上安裝並登入Line Messenger。</translation>
    </message>
    <message>
        <source>Notes:

1) &quot;Find My iPhone&quot; must be disabled on iPhone.

2) To transfer Line Messages to iPhone successfully, please close Line on your iPhone first.</source>
        <translation>注意：

1) 必須在iPhone上關閉「尋找我的iPhone」。

2) 為了成功將Line訊息傳輸到iPhone，請先關閉iPhone上的Line。</translation>
    </message>
    <message>
        <source>detail</source>
        <translation>詳細資訊</translation>
    </message>
    <message>
        <source>The iPhone did not take the transfer of LINE&apos;s files alone. Transfer them with a backup and restore of the whole iPhone instead?</source>
        <translation>iPhone不接受只傳輸LINE的檔案。要改用整部iPhone的備份與回復來傳輸嗎？</translation>
    </message>
    <message>
        <source>Successfully transferred %1 messages to iPhone. Now please disconnect your iPhone from computer.</source>
        <translation>已成功將 %1 則訊息傳輸到iPhone。現在請將iPhone與電腦中斷連線。</translation>
    </message>
    <message>
        <source>Note: If you get the following prompts on iPhone when iPhone rebooted, please choose &quot;Don&apos;t Transfer App &amp; Data&quot; option.</source>
        <translation>注意：如果iPhone重新啟動後出現以下提示，請選擇「不要轉移App與資料」。</translation>
    </message>
    <message>
        <source>This iPhone takes LINE&apos;s messages only with a backup and restore of the whole iPhone. The iPhone holds about %1 GB: the computer needs that much free disk space twice (it has %2 GB free), and the backup and restore take about %3 minutes. The backup stays on the computer, so the iPhone can be put back as it was. Go on?</source>
        <translation>這部iPhone只能透過整部iPhone的備份與回復來接收LINE訊息。iPhone約有 %1 GB資料：電腦需要兩倍的可用磁碟空間（目前可用 %2 GB），備份與回復約需 %3 分鐘。備份會保留在電腦上，因此可以將iPhone回復為原狀。要繼續嗎？</translation>
    </message>
    <message>
        <source>All %1 messages are already on the iPhone: nothing needed to change, so the iPhone was not restored.</source>
        <translation>%1 則訊息都已在 iPhone 上：無需任何變更，因此未還原 iPhone。</translation>
    </message>
</context>
<context>
    <name>LinkedBackupCopy</name>
    <message>
        <source>There is no backup in %1.</source>
        <translation>%1 中沒有備份。</translation>
    </message>
    <message>
        <source>Can&apos;t remove %1.</source>
        <translation>無法刪除 %1。</translation>
    </message>
    <message>
        <source>Can&apos;t create %1.</source>
        <translation>無法建立 %1。</translation>
    </message>
    <message>
        <source>Can&apos;t copy %1 to %2.</source>
        <translation>無法將 %1 複製到 %2。</translation>
    </message>
</context>
<context>
    <name>LoadItunesBackupDlg</name>
    <message>
        <source>IDS_SELECT_AN_ITUNES_BACKUP_TO_LOAD</source>
        <translation>請選擇要載入的 iTunes 備份。</translation>
    </message>
    <message>
        <source>IDS_NO_BACKUP_LISTED_THERE_CLICK_&lt;a href=&quot;#&quot;&gt;Here&lt;/a&gt;_ADD</source>
        <translation>清單中找不到您的 iTunes 備份嗎？請按一下&lt;a href=&quot;#&quot;&gt;這裡&lt;/a&gt;手動匯入。</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_ONE_ITUNES_BACKUP</source>
        <translation>請先選擇一個 iTunes 備份再繼續。</translation>
    </message>
    <message>
        <source>IDS_LOAD_BK_EXISTS</source>
        <translation>此 iTunes 備份已列在左側。</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>載入</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>LoadLineDbThread</name>
    <message>
        <source>Loading...</source>
        <translation>載入中...</translation>
    </message>
</context>
<context>
    <name>LocalDbSelForm</name>
    <message>
        <source>选择要备份到哪个数据库</source>
        <translation>選擇要備份到哪個資料庫</translation>
    </message>
    <message>
        <source>选择或输入新的数据库名称:</source>
        <translation>選擇現有的資料庫或輸入新的資料庫名稱：</translation>
    </message>
    <message>
        <source>选择现有的数据库会将短信息附加到里面,输入新的名字会创建新的本地数据库.</source>
        <translation>選擇現有的資料庫會將訊息附加到其中，輸入新名稱則會建立新的本機資料庫。</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_DATABASE_OR_INPUT_NEW_NAME</source>
        <translation>請選擇資料庫或輸入新的資料庫名稱</translation>
    </message>
    <message>
        <source>IDS_INVALID_LOCALDB_NAME</source>
        <translation>本機資料庫名稱無效（不能包含 \ / : * ? &quot; &amp;lt; &amp;gt; |）。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_TOOLBAR</source>
        <translation>備份訊息</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_TOOLBAR</source>
        <translation>將資料庫中的訊息傳輸到 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_TOOLBAR</source>
        <translation>擷取附件</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_TOOLBAR</source>
        <translation>將訊息匯出為檔案</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_TOOLBAR</source>
        <translation>列印訊息</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_TOOLBAR</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>IDS_MI_IMPORT_FROM_ITUNES</source>
        <translation>從 iTunes 備份匯入</translation>
    </message>
    <message>
        <source>IDS_MI_OPEN_DB_FOLDER</source>
        <translation>開啟資料庫資料夾</translation>
    </message>
    <message>
        <source>IDS_MI_EXIT</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>IDS_MI_CHECK_UPDATE</source>
        <translation>檢查更新</translation>
    </message>
    <message>
        <source>IDS_CLEAR_CACHE</source>
        <translation>清除快取檔案</translation>
    </message>
    <message>
        <source>IDS_MI_HELP</source>
        <translation>說明</translation>
    </message>
    <message>
        <source>IDS_MI_FEEDBACK</source>
        <translation>意見回饋與支援</translation>
    </message>
    <message>
        <source>IDS_MI_ABOUT</source>
        <translation>關於</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_ALL</source>
        <translation>備份訊息</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_ALL</source>
        <translation>將訊息從 iPhone 傳輸到 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_All</source>
        <translation>擷取訊息附件</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_ALL</source>
        <translation>將訊息匯出為檔案</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_ALL</source>
        <translation>列印訊息</translation>
    </message>
    <message>
        <source>IDS_MI_UNMOUNT_DEVICE</source>
        <translation>中斷裝置連線</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_ALL</source>
        <translation>將資料庫中的訊息傳輸到 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_ALL</source>
        <translation>刪除訊息</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_CHAT</source>
        <translation>備份與此聯絡人的訊息</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_CHAT</source>
        <translation>將與此聯絡人的訊息傳輸到其他 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_CHAT</source>
        <translation>擷取與此聯絡人訊息中的附件</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_CHAT</source>
        <translation>將與此聯絡人的訊息匯出為檔案</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_CHAT</source>
        <translation>列印與此聯絡人的訊息</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_CHAT</source>
        <translation>將與此聯絡人的訊息傳輸到 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_CHAT</source>
        <translation>刪除與此聯絡人的訊息</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_SEL</source>
        <translation>備份選取的訊息</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_SEL</source>
        <translation>將選取的訊息傳輸到其他 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_SEL</source>
        <translation>擷取選取訊息中的附件</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_SEL</source>
        <translation>將選取的訊息匯出為檔案</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_SEL</source>
        <translation>列印選取的訊息</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_SEL</source>
        <translation>將選取的訊息傳輸到 iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_SEL</source>
        <translation>刪除選取的訊息</translation>
    </message>
    <message>
        <source>IDS_SUC_CLEAR_CACHE</source>
        <translation>已成功清除快取檔案。</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUNDCONTACT_KEYWORD_%0</source>
        <translation>找不到符合關鍵字「%1」的聯絡人。</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUNDSMS_KEYWORD_%0</source>
        <translation>找不到符合關鍵字「%1」的訊息。</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUND_AND_MESSAGES</source>
        <translation>找不到任何訊息。</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_SEL_MESSAGES</source>
        <translation>確定要刪除選取的訊息嗎？</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_THIS_CHAT</source>
        <translation>確定要刪除與此聯絡人的訊息嗎？</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_THIS_LOCALDB</source>
        <translation>確定要刪除此資料庫嗎？</translation>
    </message>
    <message>
        <source>IDS_DEL_LOCALDB_SUC</source>
        <translation>已成功刪除資料庫。</translation>
    </message>
    <message>
        <source>IDS_SEL_EXPORT_MESSAGES_PATH</source>
        <translation>請選擇訊息的儲存位置。</translation>
    </message>
    <message>
        <source>IDS_TITLE_SEL_OUTPUT_FOLDER_EXTRACT_MEDIA_FILES</source>
        <translation>請選擇附件的儲存位置。</translation>
    </message>
    <message>
        <source>IDS_SEL_ONE_IOS_DEVICE</source>
        <translation>請選擇一部 iPhone：</translation>
    </message>
    <message>
        <source>Total: 0</source>
        <translation>總計: 0</translation>
    </message>
    <message>
        <source>File</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>說明</translation>
    </message>
    <message>
        <source>Failed to detect iPhone. Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</source>
        <translation>無法偵測 iPhone。請先啟動 iTunes（macOS 10.15 或以上為 Finder），再重新連接 iPhone。當 iPhone 出現在 iTunes（macOS 10.15 或以上為 Finder）中後，請重新啟動 Vantorel 軟體。</translation>
    </message>
    <message>
        <source>Messages: %1</source>
        <translation>訊息: %1</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Messages: 0</source>
        <translation>訊息: 0</translation>
    </message>
    <message>
        <source>No iPhone and no message database yet.

Attach your iPhone with a USB cable and unlock it, or import an iTunes backup (File menu).</source>
        <translation>尚未有 iPhone 或訊息資料庫。

請以 USB 線連接 iPhone 並解鎖，或匯入 iTunes 備份（檔案選單）。</translation>
    </message>
    <message>
        <source>Your LINE chats appear here once an iPhone is attached or a backup is imported.</source>
        <translation>連接 iPhone 或匯入備份後，LINE 聊天會顯示在這裡。</translation>
    </message>
    <message>
        <source>&lt;b&gt;Failed to Detect Your Phone.&lt;/b&gt;</source>
        <translation>&lt;b&gt;無法偵測到您的手機。&lt;/b&gt;</translation>
    </message>
    <message>
        <source>For iPhone, please follow these steps:&lt;br/&gt;1. Use your passcode to unlock iPhone.&lt;br/&gt;2. Connect your iPhone with another USB port.&lt;br/&gt;3. Exit Vantorel and then launch iTunes (Finder  if MacOS 10.15 or above) to install USB driver.</source>
        <translation>iPhone 請依下列步驟操作：&lt;br/&gt;1. 使用密碼解鎖 iPhone。&lt;br/&gt;2. 將 iPhone 連接到另一個 USB 連接埠。&lt;br/&gt;3. 結束 Vantorel，然後啟動 iTunes（macOS 10.15 或以上為 Finder）以安裝 USB 驅動程式。</translation>
    </message>
    <message>
        <source>4. Click &lt;a href=&quot;#restart_applemobileservice&quot;&gt;HERE&lt;/a&gt; to restart AppleMobileService.</source>
        <translation>4. 點擊&lt;a href=&quot;#restart_applemobileservice&quot;&gt;這裡&lt;/a&gt;重新啟動 AppleMobileService。</translation>
    </message>
    <message>
        <source>Failed to restart.</source>
        <translation>重新啟動失敗。</translation>
    </message>
    <message>
        <source>Successfully restarted! Now please reconnect your iPhone to PC.&lt;br/&gt;&lt;br/&gt;Note:&lt;br/&gt;1. Make sure you have unlocked your iPhone screen.&lt;br/&gt;2. If you get a &quot;Trust this computer?&quot; prompt on your iPhone, please tap &quot;Trust&quot;&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</source>
        <translation>已重新啟動！請將 iPhone 重新連接到電腦。&lt;br/&gt;&lt;br/&gt;注意：&lt;br/&gt;1. 請確認已解鎖 iPhone 螢幕。&lt;br/&gt;2. 如果 iPhone 上出現「要信任這部電腦嗎？」，請點一下「信任」。&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</translation>
    </message>
    <message>
        <source>You need to allow this computer to access data on your iPhone. Please choose &lt;b&gt;&quot;Trust&quot;&lt;/b&gt; option on your iPhone screen and then click the &quot;Retry&quot; button below. &lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</source>
        <translation>您需要允許這部電腦存取 iPhone 上的資料。請在 iPhone 螢幕上選擇&lt;b&gt;「信任」&lt;/b&gt;，然後點擊下方的「重試」按鈕。&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Notes:&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;1.&lt;/b&gt;  If your iPhone is protected with a passcode, please enter your passcode on iPhone first.&lt;/nobr&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;2.&lt;/b&gt;  Please make sure you have installed and logined Line on your iPhone.&lt;/nobr&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;注意：&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;1.&lt;/b&gt;  如果 iPhone 設有密碼，請先在 iPhone 上輸入密碼。&lt;/nobr&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;2.&lt;/b&gt;  請確認 iPhone 上已安裝並登入 LINE。&lt;/nobr&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Text Files(*.txt)</source>
        <translation>文字檔(*.txt)</translation>
    </message>
    <message>
        <source>Doc Files(*.doc)</source>
        <translation>Doc 檔案(*.doc)</translation>
    </message>
    <message>
        <source>CSV Files(*.csv)</source>
        <translation>CSV 檔案(*.csv)</translation>
    </message>
    <message>
        <source>PDF Files(*.pdf)</source>
        <translation>PDF 檔案(*.pdf)</translation>
    </message>
    <message>
        <source>HTML Files(*.html)</source>
        <translation>HTML 檔案(*.html)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>View Cache Files</source>
        <translation>檢視快取檔案</translation>
    </message>
    <message>
        <source>Export Messages to iTunes Backup</source>
        <translation>將訊息匯出到 iTunes 備份</translation>
    </message>
    <message>
        <source>Export Messages with this contact to iTunes Backup</source>
        <translation>將與此聯絡人的訊息匯出到 iTunes 備份</translation>
    </message>
    <message>
        <source>Export selected Messages to iTunes Backup</source>
        <translation>將選取的訊息匯出到 iTunes 備份</translation>
    </message>
    <message>
        <source>To delete and clear the cache files, please disconnect your phone first.</source>
        <translation>若要刪除並清除快取檔案，請先中斷手機的連線。</translation>
    </message>
    <message>
        <source>Delete the cached copies of your iPhones&apos; data? They are made again when an iPhone is attached; your local databases are not touched.</source>
        <translation>要刪除 iPhone 資料的快取副本嗎？連接 iPhone 時會重新建立；本機資料庫不受影響。</translation>
    </message>
    <message>
        <source>Some cache files could not be deleted (they may be in use). Please try again later.</source>
        <translation>部分快取檔案無法刪除（可能正在使用中）。請稍後再試。</translation>
    </message>
    <message>
        <source>This copy of the program has no update service configured, so it cannot look for a newer version. Nothing was sent.</source>
        <translation>此程式未設定更新服務，因此無法檢查新版本。未傳送任何資料。</translation>
    </message>
    <message>
        <source>This copy of the program has no help pages configured. Nothing was sent.</source>
        <translation>此程式未設定說明頁面。未傳送任何資料。</translation>
    </message>
    <message>
        <source>This copy of the program has no support address configured. Nothing was sent.</source>
        <translation>此程式未設定支援聯絡方式。未傳送任何資料。</translation>
    </message>
    <message>
        <source>Attach the iPhone the messages should go to, then try again.</source>
        <translation>請連接要接收訊息的 iPhone，然後再試一次。</translation>
    </message>
</context>
<context>
    <name>MediaExtractor</name>
    <message>
        <source>IDS_EXTRACTING_MEDIA_FILES</source>
        <translation>正在擷取附件...</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>無法建立資料夾 %1。</translation>
    </message>
</context>
<context>
    <name>MessageBoxBuilder</name>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重試</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>略過</translation>
    </message>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1</source>
        <translation>發生錯誤。&lt;br/&gt;&lt;br/&gt;%1</translation>
    </message>
    <message>
        <source>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1&lt;br/&gt;&lt;br/&gt; Or you can contact %2 for help.</source>
        <translation>發生錯誤。&lt;br/&gt;&lt;br/&gt;%1&lt;br/&gt;&lt;br/&gt;如需協助，請聯絡 %2。</translation>
    </message>
</context>
<context>
    <name>MessageExporter</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>正在匯出訊息...</translation>
    </message>
    <message>
        <source>not support export format.</source>
        <translation>不支援此匯出格式。</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>訊息：%1/%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>無法建立資料夾 %1。</translation>
    </message>
    <message>
        <source>%1 is a file; give the name of a folder to export into.</source>
        <translation>%1 是檔案；請指定要匯出的資料夾名稱。</translation>
    </message>
    <message>
        <source>%1 is a folder; give the name of a file to export into.</source>
        <translation>%1 是資料夾；請指定要匯出的檔案名稱。</translation>
    </message>
</context>
<context>
    <name>MessageSearch</name>
    <message>
        <source>Type something to search for.</source>
        <translation>請輸入要搜尋的文字。</translation>
    </message>
</context>
<context>
    <name>MessageSearchIndex</name>
    <message>
        <source>The search index cannot be written: %1</source>
        <translation>無法寫入搜尋索引：%1</translation>
    </message>
    <message>
        <source>The file is not a search index.</source>
        <translation>此檔案不是搜尋索引。</translation>
    </message>
    <message>
        <source>The search index is damaged.</source>
        <translation>搜尋索引已損毀。</translation>
    </message>
    <message>
        <source>The search index is out of date.</source>
        <translation>搜尋索引已過期。</translation>
    </message>
    <message>
        <source>Building the search index...</source>
        <translation>正在建立搜尋索引...</translation>
    </message>
    <message>
        <source>The search index %1 cannot be written: %2</source>
        <translation>無法寫入搜尋索引 %1：%2</translation>
    </message>
    <message>
        <source>Compacting the search index...</source>
        <translation>正在壓縮搜尋索引...</translation>
    </message>
</context>
<context>
    <name>MessageSearchPanel</name>
    <message>
        <source>Search Results</source>
        <translation>搜尋結果</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>正在搜尋...</translation>
    </message>
</context>
<context>
    <name>PasscodeDlg</name>
    <message>
        <source>IDS_PLEASE_ENTER_PASSWORD_TO_LOAD_BACKUP</source>
        <translation>此 iTunes 備份已加密，請輸入密碼：</translation>
    </message>
    <message>
        <source>IDS_ENTER_PASSWORD</source>
        <translation>輸入密碼</translation>
    </message>
    <message>
        <source>IDS_PWD_IS_NULL</source>
        <translation>必須輸入密碼。</translation>
    </message>
    <message>
        <source>IDS_INVALID_PASSWORD</source>
        <translation>密碼錯誤。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>PrintLineMsgsExec</name>
    <message>
        <source>The pages cannot be printed.</source>
        <translation>無法列印頁面。</translation>
    </message>
</context>
<context>
    <name>PrintLineMsgsPreview</name>
    <message>
        <source>IDS_PRINT_MESSAGES</source>
        <translation>列印訊息</translation>
    </message>
    <message>
        <source>To print more than 100 pages messages, please click &quot;File&quot;-&gt;&quot;Export Messages to File&quot; menu to save messages to a PDF file first and then print the PDF file.</source>
        <translation>若要列印超過 100 頁的訊息，請先按一下「檔案」→「匯出訊息到檔案」選單，將訊息儲存為 PDF 檔案，再列印該 PDF 檔案。</translation>
    </message>
    <message>
        <source>Printing...</source>
        <translation>列印中...</translation>
    </message>
</context>
<context>
    <name>ProgressForm</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Progress:%1%</source>
        <translation>進度：%1%</translation>
    </message>
    <message>
        <source>Are You Sure You Want To Cancel?</source>
        <translation>確定要取消嗎？</translation>
    </message>
</context>
<context>
    <name>SearchResultsModel</name>
    <message>
        <source>(me)</source>
        <translation>(我)</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>Sender</source>
        <translation>傳送者</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>訊息</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>This version of Vantorel software has become obsolete. Please download the latest version to install on your computer.</source>
        <translation>此版本的 Vantorel 軟體已過時。請下載最新版本並安裝到您的電腦上。</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下載</translation>
    </message>
</context>
<context>
    <name>Win32KillProcessesThread</name>
    <message>
        <source>iTunes can&apos;t be started when running Vantorel. Please close iTunes.</source>
        <translation>執行 Vantorel 時無法啟動 iTunes。請關閉 iTunes。</translation>
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
<context>
    <name>backup2tool</name>
    <message>
        <source>This may take a few minutes. Please wait...</source>
        <translation>這可能需要幾分鐘。請稍候...</translation>
    </message>
    <message>
        <source>Receiving files (size: %1)...</source>
        <translation>正在接收檔案（大小：%1）...</translation>
    </message>
    <message>
        <source>Sending %1 to device...</source>
        <translation>正在將 %1 傳送到裝置...</translation>
    </message>
    <message>
        <source>Please restart your iPhone first.</source>
        <translation>請先重新啟動您的 iPhone。</translation>
    </message>
    <message>
        <source>Please disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</source>
        <translation>請先停用「尋找我的 iPhone」，然後重新啟動 iPhone 再試一次。</translation>
    </message>
    <message>
        <source>Please follow this tutorial to disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</source>
        <translation>請依照此教學先停用「尋找我的 iPhone」，然後重新啟動 iPhone 再試一次。</translation>
    </message>
    <message>
        <source>Insufficient free disk space on device to back up. Not enough free disk space on your Device.</source>
        <translation>裝置的可用空間不足。您的裝置沒有足夠的可用空間。</translation>
    </message>
    <message>
        <source>Insufficient free disk space on drive to back up. Not enough free disk space on your computer.</source>
        <translation>備份所需的磁碟可用空間不足。您的電腦沒有足夠的可用空間。</translation>
    </message>
    <message>
        <source>Error attaching to device. Please Keep your iPhone connected and active.</source>
        <translation>連接裝置時發生錯誤。請保持 iPhone 連接且處於使用狀態。</translation>
    </message>
    <message>
        <source>Please restart your iPhone to try again.</source>
        <translation>請重新啟動您的 iPhone 再試一次。</translation>
    </message>
</context>
<context>
    <name>checkDeviceConnection</name>
    <message>
        <source>Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</source>
        <translation>請先啟動 iTunes（macOS 10.15 或以上版本請使用 Finder），然後重新連接您的 iPhone。當 iTunes（macOS 10.15 或以上版本為 Finder）中出現您的 iPhone 後，請重新啟動 Vantorel 軟體。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>invalid libsqlite_qt.</source>
        <translation>libsqlite_qt 無效。</translation>
    </message>
</context>
</TS>
