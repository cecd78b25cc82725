<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutUsForm</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>Built with Qt %1</source>
        <translation>Built with Qt %1</translation>
    </message>
</context>
<context>
    <name>BackupFileMerger</name>
    <message>
        <source>Transferring files...</source>
        <translation>Transferring files...</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>The keybag of the backup %1 holds no key of protection class %2.</source>
        <translation>The keybag of the backup %1 holds no key of protection class %2.</translation>
    </message>
    <message>
        <source>cannot overwrite %1</source>
        <translation>cannot overwrite %1</translation>
    </message>
</context>
<context>
    <name>BackupLineLoad</name>
    <message>
        <source>%1 is not a backup folder.</source>
        <translation>%1 is not a backup folder.</translation>
    </message>
    <message>
        <source>Found no Line data in your iTunes Backup. Please check if you have installed and logined Line on your iPhone.</source>
        <translation>Found no Line data in your iTunes Backup. Please check if you have installed and logined Line on your iPhone.</translation>
    </message>
</context>
<context>
    <name>BackupLineMessagesThread</name>
    <message>
        <source>IDS_BACKING_UP_LINE_MESSAGES</source>
        <translation>Backing up Line messages...</translation>
    </message>
    <message>
        <source>IDS_SUC_BACKUP_%1_MESSAGES_%2_NEW_%3_EXISTING</source>
        <translation>Successfully backed up %1 messages: %2 new, %3 already there.</translation>
    </message>
</context>
<context>
    <name>BackupTransaction</name>
    <message>
        <source>Another run of the program is changing the backup %1. Try again when it has finished.</source>
        <translation>Another run of the program is changing the backup %1. Try again when it has finished.</translation>
    </message>
    <message>
        <source>cannot write into the backup %1.</source>
        <translation>cannot write into the backup %1.</translation>
    </message>
    <message>
        <source>cannot write %1. %2</source>
        <translation>cannot write %1. %2</translation>
    </message>
</context>
<context>
    <name>BigramTokenizer</name>
    <message>
        <source>This SQLite has no full-text search (FTS5).</source>
        <translation>This SQLite has no full-text search (FTS5).</translation>
    </message>
</context>
<context>
    <name>BubbleMarkup</name>
    <message>
        <source>Contact:</source>
        <translation>Contact:</translation>
    </message>
</context>
<context>
    <name>DataSourceSelForm</name>
    <message>
        <source>确定</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER</source>
        <translation>Please select a Device.</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_ONE_DATASOURCE</source>
        <translation>Need to select a Device to continue.</translation>
    </message>
</context>
<context>
    <name>DeviceBackupSettings</name>
    <message>
        <source>Failed to transfer data to device. Please turn off iCloud backup on your iPhone to try again.</source>
        <translation>Failed to transfer data to device. Please turn off iCloud backup on your iPhone to try again.</translation>
    </message>
    <message>
        <source>Failed to transfer data to device. Your iTunes backup is encrypted. Please run iTunes on computer and then uncheck &quot;Encrypt iPhone backup&quot; option to try again.</source>
        <translation>Failed to transfer data to device. Your iTunes backup is encrypted. Please run iTunes on computer and then uncheck &quot;Encrypt iPhone backup&quot; option to try again.</translation>
    </message>
</context>
<context>
    <name>DeviceLineLoad</name>
    <message>
        <source>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</source>
        <translation>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</translation>
    </message>
</context>
<context>
    <name>DevicePartialBackup</name>
    <message>
        <source>Loading data from Device...</source>
        <translation>Loading data from Device...</translation>
    </message>
</context>
<context>
    <name>DeviceRestore</name>
    <message>
        <source>Transferring data to Device...</source>
        <translation>Transferring data to Device...</translation>
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
        <translation>Exported chats</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Chat</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>First message</source>
        <translation>First message</translation>
    </message>
    <message>
        <source>Last message</source>
        <translation>Last message</translation>
    </message>
</context>
<context>
    <name>ExportMessagesHtml</name>
    <message>
        <source>%1 (page %2)</source>
        <translation>%1 (page %2)</translation>
    </message>
    <message>
        <source>All chats</source>
        <translation>All chats</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>ExportMessagesPdf</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>Exporting Messages...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>Successfully exported %1 Messages.</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>Messages: %1/%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Cannot create the folder %1.</translation>
    </message>
    <message>
        <source>Cannot write the file %1.</source>
        <translation>Cannot write the file %1.</translation>
    </message>
</context>
<context>
    <name>ExportMessagesThread</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>Exporting Messages...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>Successfully exported %1 Messages.</translation>
    </message>
</context>
<context>
    <name>ExportTextFile</name>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 cannot be written: %2</translation>
    </message>
</context>
<context>
    <name>ExtractMediaFilesThread</name>
    <message>
        <source>IDS_EXTRACTING_MEDIA_FILES</source>
        <translation>Extracting attachments...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1</source>
        <translation>Successfully extracted attachments to %1.</translation>
    </message>
    <message>
        <source>Extracted %1 attachments to %2, but %3 could not be copied.
%4</source>
        <translation>Extracted %1 attachments to %2, but %3 could not be copied.
%4</translation>
    </message>
    <message>
        <source>%1 attachments were already there and were not copied again.</source>
        <translation>%1 attachments were already there and were not copied again.</translation>
    </message>
</context>
<context>
    <name>IOSLineDb</name>
    <message>
        <source>Found no LINE messages in %1.</source>
        <translation>Found no LINE messages in %1.</translation>
    </message>
    <message>
        <source>%1 is not a LINE message database this program can read: it has no %2.</source>
        <translation>%1 is not a LINE message database this program can read: it has no %2.</translation>
    </message>
    <message>
        <source>Messages cannot be written into %1: it lacks %2.</source>
        <translation>Messages cannot be written into %1: it lacks %2.</translation>
    </message>
</context>
<context>
    <name>IOSLineStoreCache</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 cannot be read: %2</translation>
    </message>
    <message>
        <source>%1 cannot be copied into the program&apos;s cache (%2): %3</source>
        <translation>%1 cannot be copied into the program&apos;s cache (%2): %3</translation>
    </message>
    <message>
        <source>The program&apos;s cache folder %1 cannot be replaced.</source>
        <translation>The program&apos;s cache folder %1 cannot be replaced.</translation>
    </message>
    <message>
        <source>The program&apos;s cache folder %1 cannot be created.</source>
        <translation>The program&apos;s cache folder %1 cannot be created.</translation>
    </message>
    <message>
        <source>Copying LINE&apos;s message store...</source>
        <translation>Copying LINE&apos;s message store...</translation>
    </message>
    <message>
        <source>Neither the program&apos;s cache %1 nor a temporary folder can be written.</source>
        <translation>Neither the program&apos;s cache %1 nor a temporary folder can be written.</translation>
    </message>
</context>
<context>
    <name>IOSLoadLineFromiTunesThread</name>
    <message>
        <source>IDS_LOADING_ITUNES_BACKUP</source>
        <translation>Loading data from iTunes Backup...</translation>
    </message>
    <message>
        <source>IDS_CACHING_BACKUP_FILE_%1</source>
        <translation>Loading %1...</translation>
    </message>
</context>
<context>
    <name>IOSMobileBackupThread</name>
    <message>
        <source>Note: You can restart your device to try again.</source>
        <translation>Note: You can restart your device to try again.</translation>
    </message>
    <message>
        <source>this tutorial</source>
        <translation>this tutorial</translation>
    </message>
    <message>
        <source>tutorial</source>
        <translation>tutorial</translation>
    </message>
    <message>
        <source>Connection to device lost. Please try the following solutions:</source>
        <translation>Connection to device lost. Please try the following solutions:</translation>
    </message>
    <message>
        <source>Failed to connect your iPhone. Please try the following solutions:</source>
        <translation>Failed to connect your iPhone. Please try the following solutions:</translation>
    </message>
    <message>
        <source>A:
Step 1) Restart your iPhone.
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</source>
        <translation>A:
Step 1) Restart your iPhone.
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</translation>
    </message>
    <message>
        <source>B:
Step 1) Delete the lockdown folder from your computer.%1
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</source>
        <translation>B:
Step 1) Delete the lockdown folder from your computer.%1
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</translation>
    </message>
    <message>
        <source>How to</source>
        <translation>How to</translation>
    </message>
    <message>
        <source>Note: You can follow this tutorial to try.</source>
        <translation>Note: You can follow this tutorial to try.</translation>
    </message>
    <message>
        <source>Tip: You can follow this tutorial to try.</source>
        <translation>Tip: You can follow this tutorial to try.</translation>
    </message>
    <message>
        <source>Please enter your passcode on your iPhone to start the encrypted backup.</source>
        <translation>Please enter your passcode on your iPhone to start the encrypted backup.</translation>
    </message>
</context>
<context>
    <name>IOSRestoreLineMsgThread</name>
    <message>
        <source>IDS_RESTORING_LINE_MSG_TO_IOS</source>
        <translation>Transferring messages to iPhone...</translation>
    </message>
    <message>
        <source>Please restart your phone to try again.</source>
        <translation>Please restart your phone to try again.</translation>
    </message>
</context>
<context>
    <name>IOSiTunesBKSetPasswordThread</name>
    <message>
        <source>Verifying. Please wait...</source>
        <translation>Verifying. Please wait...</translation>
    </message>
</context>
<context>
    <name>ItemModelMain</name>
    <message>
        <source>IDS_ROOT_DEVICE</source>
        <translation>Devices</translation>
    </message>
    <message>
        <source>IDS_ROOT_LOCALDB</source>
        <translation>Local Databases</translation>
    </message>
</context>
<context>
    <name>ItemModelSms</name>
    <message>
        <source>To</source>
        <translation>To</translation>
    </message>
    <message>
        <source>From</source>
        <translation>From</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Flag</source>
        <translation>Flag</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>Content</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>LineBubblePageBuilder</name>
    <message>
        <source>&lt;&lt;Previous Page</source>
        <translation>&lt;&lt;Previous Page</translation>
    </message>
    <message>
        <source>&gt;&gt;Next Page</source>
        <translation>&gt;&gt;Next Page</translation>
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
        <translation>Cannot copy %1.</translation>
    </message>
    <message>
        <source>cannot find %1.</source>
        <translation>cannot find %1.</translation>
    </message>
</context>
<context>
    <name>LineLocalDb</name>
    <message>
        <source>The database layout cannot be read: %1</source>
        <translation>The database layout cannot be read: %1</translation>
    </message>
    <message>
        <source>The message database cannot be created: %1</source>
        <translation>The message database cannot be created: %1</translation>
    </message>
    <message>
        <source>%1 is not a message database of this program (the table %2 is missing).</source>
        <translation>%1 is not a message database of this program (the table %2 is missing).</translation>
    </message>
    <message>
        <source>The folder %1 of the message database cannot be created.</source>
        <translation>The folder %1 of the message database cannot be created.</translation>
    </message>
    <message>
        <source>The message database %1 cannot be created: %2</source>
        <translation>The message database %1 cannot be created: %2</translation>
    </message>
</context>
<context>
    <name>LineTransferFlow</name>
    <message>
        <source>%1 can&apos;t be the name of a local database.</source>
        <translation>%1 can&apos;t be the name of a local database.</translation>
    </message>
    <message>
        <source>The messages come from this backup: choose another one to transfer them to.</source>
        <translation>The messages come from this backup: choose another one to transfer them to.</translation>
    </message>
    <message>
        <source>Can&apos;t create a temporary folder: %1</source>
        <translation>Can&apos;t create a temporary folder: %1</translation>
    </message>
    <message>
        <source>Successfully transferred %1 messages to iPhone.</source>
        <translation>Successfully transferred %1 messages to iPhone.</translation>
    </message>
    <message>
        <source>The messages come from this iPhone: choose another one to transfer them to.</source>
        <translation>The messages come from this iPhone: choose another one to transfer them to.</translation>
    </message>
    <message>
        <source>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</source>
        <translation>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</translation>
    </message>
    <message>
        <source>Notes:

1) &quot;Find My iPhone&quot; must be disabled on iPhone.

2) To transfer Line Messages to iPhone successfully, please close Line on your iPhone first.</source>
        <translation>Notes:

1) &quot;Find My iPhone&quot; must be disabled on iPhone.

2) To transfer Line Messages to iPhone successfully, please close Line on your iPhone first.</translation>
    </message>
    <message>
        <source>detail</source>
        <translation>detail</translation>
    </message>
    <message>
        <source>The iPhone did not take the transfer of LINE&apos;s files alone. Transfer them with a backup and restore of the whole iPhone instead?</source>
        <translation>The iPhone did not take the transfer of LINE&apos;s files alone. Transfer them with a backup and restore of the whole iPhone instead?</translation>
    </message>
    <message>
        <source>Successfully transferred %1 messages to iPhone. Now please disconnect your iPhone from computer.</source>
        <translation>Successfully transferred %1 messages to iPhone. Now please disconnect your iPhone from computer.</translation>
    </message>
    <message>
        <source>Note: If you get the following prompts on iPhone when iPhone rebooted, please choose &quot;Don&apos;t Transfer App &amp; Data&quot; option.</source>
        <translation>Note: If you get the following prompts on iPhone when iPhone rebooted, please choose &quot;Don&apos;t Transfer App &amp; Data&quot; option.</translation>
    </message>
    <message>
        <source>This iPhone takes LINE&apos;s messages only with a backup and restore of the whole iPhone. The iPhone holds about %1 GB: the computer needs that much free disk space twice (it has %2 GB free), and the backup and restore take about %3 minutes. The backup stays on the computer, so the iPhone can be put back as it was. Go on?</source>
        <translation>This iPhone takes LINE&apos;s messages only with a backup and restore of the whole iPhone. The iPhone holds about %1 GB: the computer needs that much free disk space twice (it has %2 GB free), and the backup and restore take about %3 minutes. The backup stays on the computer, so the iPhone can be put back as it was. Go on?</translation>
    </message>
    <message>
        <source>All %1 messages are already on the iPhone: nothing needed to change, so the iPhone was not restored.</source>
        <translation>All %1 messages are already on the iPhone: nothing needed to change, so the iPhone was not restored.</translation>
    </message>
</context>
<context>
    <name>LinkedBackupCopy</name>
    <message>
        <source>There is no backup in %1.</source>
        <translation>There is no backup in %1.</translation>
    </message>
    <message>
        <source>Can&apos;t remove %1.</source>
        <translation>Can&apos;t remove %1.</translation>
    </message>
    <message>
        <source>Can&apos;t create %1.</source>
        <translation>Can&apos;t create %1.</translation>
    </message>
    <message>
        <source>Can&apos;t copy %1 to %2.</source>
        <translation>Can&apos;t copy %1 to %2.</translation>
    </message>
</context>
<context>
    <name>LoadItunesBackupDlg</name>
    <message>
        <source>IDS_SELECT_AN_ITUNES_BACKUP_TO_LOAD</source>
        <translation>Please select an iTunes Backup to load.</translation>
    </message>
    <message>
        <source>IDS_NO_BACKUP_LISTED_THERE_CLICK_&lt;a href=&quot;#&quot;&gt;Here&lt;/a&gt;_ADD</source>
        <translation>Can&apos;t find your iTunes Backup on the list? Please manually import it by clicking &lt;a href=&quot;#&quot;&gt;HERE&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_ONE_ITUNES_BACKUP</source>
        <translation>Need to select an iTunes Backup to continue.</translation>
    </message>
    <message>
        <source>IDS_LOAD_BK_EXISTS</source>
        <translation>This iTunes Backup has been listed on the left.</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LoadLineDbThread</name>
    <message>
        <source>Loading...</source>
        <translation>Loading...</translation>
    </message>
</context>
<context>
    <name>LocalDbSelForm</name>
    <message>
        <source>选择要备份到哪个数据库</source>
        <translation>Select one Database for backup</translation>
    </message>
    <message>
        <source>选择或输入新的数据库名称:</source>
        <translation>Select current database to merge or enter a new database name:</translation>
    </message>
    <message>
        <source>选择现有的数据库会将短信息附加到里面,输入新的名字会创建新的本地数据库.</source>
        <translation>Selecting current Database will merge data;entering new DB name will create a new Database.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_DATABASE_OR_INPUT_NEW_NAME</source>
        <translation>Select one Database or enter a new Database name</translation>
    </message>
    <message>
        <source>IDS_INVALID_LOCALDB_NAME</source>
        <translation>Invalid Local Database name(can&apos;t contain \ / : * ? &quot; &amp;lt; &amp;gt; |).</translation>
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
        <translation>Backup Messages</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_TOOLBAR</source>
        <translation>Transfer Messages from Database to iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_TOOLBAR</source>
        <translation>Extract Attachments</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_TOOLBAR</source>
        <translation>Export Messages to File</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_TOOLBAR</source>
        <translation>Print Messages</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_TOOLBAR</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>IDS_MI_IMPORT_FROM_ITUNES</source>
        <translation>Import from iTunes Backup</translation>
    </message>
    <message>
        <source>IDS_MI_OPEN_DB_FOLDER</source>
        <translation>Open Database Folder</translation>
    </message>
    <message>
        <source>IDS_MI_EXIT</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>IDS_MI_CHECK_UPDATE</source>
        <translation>Check for Update</translation>
    </message>
    <message>
        <source>IDS_CLEAR_CACHE</source>
        <translation>Clear Cache files</translation>
    </message>
    <message>
        <source>IDS_MI_HELP</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>IDS_MI_FEEDBACK</source>
        <translation>Feedback and Support</translation>
    </message>
    <message>
        <source>IDS_MI_ABOUT</source>
        <translation>About</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_ALL</source>
        <translation>Backup Messages</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_ALL</source>
        <translation>Transfer Messages from iPhone to iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_All</source>
        <translation>Extract Messages Attachments</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_ALL</source>
        <translation>Export Messages to File</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_ALL</source>
        <translation>Print Messages</translation>
    </message>
    <message>
        <source>IDS_MI_UNMOUNT_DEVICE</source>
        <translation>Disconnect Device</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_ALL</source>
        <translation>Transfer Messages from Database to iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_ALL</source>
        <translation>Delete Messages</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_CHAT</source>
        <translation>Backup Messages with this Contact</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_CHAT</source>
        <translation>Transfer Messages with this Contact to other iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_CHAT</source>
        <translation>Extract Attachments from Messages with this Contact</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_CHAT</source>
        <translation>Export Messages with this Contact to File</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_CHAT</source>
        <translation>Print Messages with this Contact</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_CHAT</source>
        <translation>Transfer Messages with this Contact to iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_CHAT</source>
        <translation>Delete Messages with this Contact</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_SEL</source>
        <translation>Backup selected Messages</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_SEL</source>
        <translation>Transfer selected Messages to other iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_SEL</source>
        <translation>Export Attachments from selected Messages</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_SEL</source>
        <translation>Export selected Messages to File</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_SEL</source>
        <translation>Print selected Messages</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_SEL</source>
        <translation>Transfer selected Messages to iPhone</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_SEL</source>
        <translation>Delete selected Messages</translation>
    </message>
    <message>
        <source>IDS_SUC_CLEAR_CACHE</source>
        <translation>Successfully cleared cache files.</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUNDCONTACT_KEYWORD_%0</source>
        <translation>Find no contact with keyword %1.</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUNDSMS_KEYWORD_%0</source>
        <translation>Find no Message with keyword %1.</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUND_AND_MESSAGES</source>
        <translation>Can&apos;t find any Message.</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_SEL_MESSAGES</source>
        <translation>Confirm to delete selected Messages?</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_THIS_CHAT</source>
        <translation>Confirm to delete Messages with this contact?</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_THIS_LOCALDB</source>
        <translation>Confirm to delete this database?</translation>
    </message>
    <message>
        <source>IDS_DEL_LOCALDB_SUC</source>
        <translation>Successfully deleted database.</translation>
    </message>
    <message>
        <source>IDS_SEL_EXPORT_MESSAGES_PATH</source>
        <translation>Please select Save Path for messages.</translation>
    </message>
    <message>
        <source>IDS_TITLE_SEL_OUTPUT_FOLDER_EXTRACT_MEDIA_FILES</source>
        <translation>Please select Save Path for media files.</translation>
    </message>
    <message>
        <source>IDS_SEL_ONE_IOS_DEVICE</source>
        <translation>Please select an iPhone:</translation>
    </message>
    <message>
        <source>Total: 0</source>
        <translation>Total: 0</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Failed to detect iPhone. Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</source>
        <translation>Failed to detect iPhone. Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</translation>
    </message>
    <message>
        <source>Messages: %1</source>
        <translation>Messages: %1</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Messages: 0</source>
        <translation>Messages: 0</translation>
    </message>
    <message>
        <source>No iPhone and no message database yet.

Attach your iPhone with a USB cable and unlock it, or import an iTunes backup (File menu).</source>
        <translation>No iPhone and no message database yet.

Attach your iPhone with a USB cable and unlock it, or import an iTunes backup (File menu).</translation>
    </message>
    <message>
        <source>Your LINE chats appear here once an iPhone is attached or a backup is imported.</source>
        <translation>Your LINE chats appear here once an iPhone is attached or a backup is imported.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Failed to Detect Your Phone.&lt;/b&gt;</source>
        <translation>&lt;b&gt;Failed to Detect Your Phone.&lt;/b&gt;</translation>
    </message>
    <message>
        <source>For iPhone, please follow these steps:&lt;br/&gt;1. Use your passcode to unlock iPhone.&lt;br/&gt;2. Connect your iPhone with another USB port.&lt;br/&gt;3. Exit Vantorel and then launch iTunes (Finder  if MacOS 10.15 or above) to install USB driver.</source>
        <translation>For iPhone, please follow these steps:&lt;br/&gt;1. Use your passcode to unlock iPhone.&lt;br/&gt;2. Connect your iPhone with another USB port.&lt;br/&gt;3. Exit Vantorel and then launch iTunes (Finder  if MacOS 10.15 or above) to install USB driver.</translation>
    </message>
    <message>
        <source>4. Click &lt;a href=&quot;#restart_applemobileservice&quot;&gt;HERE&lt;/a&gt; to restart AppleMobileService.</source>
        <translation>4. Click &lt;a href=&quot;#restart_applemobileservice&quot;&gt;HERE&lt;/a&gt; to restart AppleMobileService.</translation>
    </message>
    <message>
        <source>Failed to restart.</source>
        <translation>Failed to restart.</translation>
    </message>
    <message>
        <source>Successfully restarted! Now please reconnect your iPhone to PC.&lt;br/&gt;&lt;br/&gt;Note:&lt;br/&gt;1. Make sure you have unlocked your iPhone screen.&lt;br/&gt;2. If you get a &quot;Trust this computer?&quot; prompt on your iPhone, please tap &quot;Trust&quot;&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</source>
        <translation>Successfully restarted! Now please reconnect your iPhone to PC.&lt;br/&gt;&lt;br/&gt;Note:&lt;br/&gt;1. Make sure you have unlocked your iPhone screen.&lt;br/&gt;2. If you get a &quot;Trust this computer?&quot; prompt on your iPhone, please tap &quot;Trust&quot;&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</translation>
    </message>
    <message>
        <source>You need to allow this computer to access data on your iPhone. Please choose &lt;b&gt;&quot;Trust&quot;&lt;/b&gt; option on your iPhone screen and then click the &quot;Retry&quot; button below. &lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</source>
        <translation>You need to allow this computer to access data on your iPhone. Please choose &lt;b&gt;&quot;Trust&quot;&lt;/b&gt; option on your iPhone screen and then click the &quot;Retry&quot; button below. &lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Notes:&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;1.&lt;/b&gt;  If your iPhone is protected with a passcode, please enter your passcode on iPhone first.&lt;/nobr&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;2.&lt;/b&gt;  Please make sure you have installed and logined Line on your iPhone.&lt;/nobr&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Notes:&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;1.&lt;/b&gt;  If your iPhone is protected with a passcode, please enter your passcode on iPhone first.&lt;/nobr&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;2.&lt;/b&gt;  Please make sure you have installed and logined Line on your iPhone.&lt;/nobr&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Text Files(*.txt)</source>
        <translation>Text Files(*.txt)</translation>
    </message>
    <message>
        <source>Doc Files(*.doc)</source>
        <translation>Doc Files(*.doc)</translation>
    </message>
    <message>
        <source>CSV Files(*.csv)</source>
        <translation>CSV Files(*.csv)</translation>
    </message>
    <message>
        <source>PDF Files(*.pdf)</source>
        <translation>PDF Files(*.pdf)</translation>
    </message>
    <message>
        <source>HTML Files(*.html)</source>
        <translation>HTML Files(*.html)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>View Cache Files</source>
        <translation>View Cache Files</translation>
    </message>
    <message>
        <source>Export Messages to iTunes Backup</source>
        <translation>Export Messages to iTunes Backup</translation>
    </message>
    <message>
        <source>Export Messages with this contact to iTunes Backup</source>
        <translation>Export Messages with this contact to iTunes Backup</translation>
    </message>
    <message>
        <source>Export selected Messages to iTunes Backup</source>
        <translation>Export selected Messages to iTunes Backup</translation>
    </message>
    <message>
        <source>To delete and clear the cache files, please disconnect your phone first.</source>
        <translation>To delete and clear the cache files, please disconnect your phone first.</translation>
    </message>
    <message>
        <source>Delete the cached copies of your iPhones&apos; data? They are made again when an iPhone is attached; your local databases are not touched.</source>
        <translation>Delete the cached copies of your iPhones&apos; data? They are made again when an iPhone is attached; your local databases are not touched.</translation>
    </message>
    <message>
        <source>Some cache files could not be deleted (they may be in use). Please try again later.</source>
        <translation>Some cache files could not be deleted (they may be in use). Please try again later.</translation>
    </message>
    <message>
        <source>This copy of the program has no update service configured, so it cannot look for a newer version. Nothing was sent.</source>
        <translation>This copy of the program has no update service configured, so it cannot look for a newer version. Nothing was sent.</translation>
    </message>
    <message>
        <source>This copy of the program has no help pages configured. Nothing was sent.</source>
        <translation>This copy of the program has no help pages configured. Nothing was sent.</translation>
    </message>
    <message>
        <source>This copy of the program has no support address configured. Nothing was sent.</source>
        <translation>This copy of the program has no support address configured. Nothing was sent.</translation>
    </message>
    <message>
        <source>Attach the iPhone the messages should go to, then try again.</source>
        <translation>Attach the iPhone the messages should go to, then try again.</translation>
    </message>
</context>
<context>
    <name>MediaExtractor</name>
    <message>
        <source>IDS_EXTRACTING_MEDIA_FILES</source>
        <translation>Extracting attachments...</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Cannot create the folder %1.</translation>
    </message>
</context>
<context>
    <name>MessageBoxBuilder</name>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignore</translation>
    </message>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1</source>
        <translation>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1</translation>
    </message>
    <message>
        <source>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1&lt;br/&gt;&lt;br/&gt; Or you can contact %2 for help.</source>
        <translation>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1&lt;br/&gt;&lt;br/&gt; Or you can contact %2 for help.</translation>
    </message>
</context>
<context>
    <name>MessageExporter</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>Exporting Messages...</translation>
    </message>
    <message>
        <source>not support export format.</source>
        <translation>not support export format.</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>Messages: %1/%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Cannot create the folder %1.</translation>
    </message>
    <message>
        <source>%1 is a file; give the name of a folder to export into.</source>
        <translation>%1 is a file; give the name of a folder to export into.</translation>
    </message>
    <message>
        <source>%1 is a folder; give the name of a file to export into.</source>
        <translation>%1 is a folder; give the name of a file to export into.</translation>
    </message>
</context>
<context>
    <name>MessageSearch</name>
    <message>
        <source>Type something to search for.</source>
        <translation>Type something to search for.</translation>
    </message>
</context>
<context>
    <name>MessageSearchIndex</name>
    <message>
        <source>The search index cannot be written: %1</source>
        <translation>The search index cannot be written: %1</translation>
    </message>
    <message>
        <source>The file is not a search index.</source>
        <translation>The file is not a search index.</translation>
    </message>
    <message>
        <source>The search index is damaged.</source>
        <translation>The search index is damaged.</translation>
    </message>
    <message>
        <source>The search index is out of date.</source>
        <translation>The search index is out of date.</translation>
    </message>
    <message>
        <source>Building the search index...</source>
        <translation>Building the search index...</translation>
    </message>
    <message>
        <source>The search index %1 cannot be written: %2</source>
        <translation>The search index %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>Compacting the search index...</source>
        <translation>Compacting the search index...</translation>
    </message>
</context>
<context>
    <name>MessageSearchPanel</name>
    <message>
        <source>Search Results</source>
        <translation>Search Results</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Searching...</translation>
    </message>
</context>
<context>
    <name>PasscodeDlg</name>
    <message>
        <source>IDS_PLEASE_ENTER_PASSWORD_TO_LOAD_BACKUP</source>
        <translation>This iTunes Backup is encrypted. Please enter password:</translation>
    </message>
    <message>
        <source>IDS_ENTER_PASSWORD</source>
        <translation>Enter password</translation>
    </message>
    <message>
        <source>IDS_PWD_IS_NULL</source>
        <translation>Password is required.</translation>
    </message>
    <message>
        <source>IDS_INVALID_PASSWORD</source>
        <translation>Invalid password.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>PrintLineMsgsExec</name>
    <message>
        <source>The pages cannot be printed.</source>
        <translation>The pages cannot be printed.</translation>
    </message>
</context>
<context>
    <name>PrintLineMsgsPreview</name>
    <message>
        <source>IDS_PRINT_MESSAGES</source>
        <translation>Print Messages</translation>
    </message>
    <message>
        <source>To print more than 100 pages messages, please click &quot;File&quot;-&gt;&quot;Export Messages to File&quot; menu to save messages to a PDF file first and then print the PDF file.</source>
        <translation>To print more than 100 pages messages, please click &quot;File&quot;-&gt;&quot;Export Messages to File&quot; menu to save messages to a PDF file first and then print the PDF file.</translation>
    </message>
    <message>
        <source>Printing...</source>
        <translation>Printing...</translation>
    </message>
</context>
<context>
    <name>ProgressForm</name>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Progress:%1%</source>
        <translation>Progress:%1%</translation>
    </message>
    <message>
        <source>Are You Sure You Want To Cancel?</source>
        <translation>Are You Sure You Want To Cancel?</translation>
    </message>
</context>
<context>
    <name>SearchResultsModel</name>
    <message>
        <source>(me)</source>
        <translation>(me)</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Chat</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Sender</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>This version of Vantorel software has become obsolete. Please download the latest version to install on your computer.</source>
        <translation>This version of Vantorel software has become obsolete. Please download the latest version to install on your computer.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
</context>
<context>
    <name>Win32KillProcessesThread</name>
    <message>
        <source>iTunes can&apos;t be started when running Vantorel. Please close iTunes.</source>
        <translation>iTunes can&apos;t be started when running Vantorel. Please close iTunes.</translation>
    </message>
</context>
<context>
    <name>_LineGroup</name>
    <message>
        <source>[GROUP] %1</source>
        <translation>[GROUP] %1</translation>
    </message>
    <message>
        <source>[GROUP] %1: </source>
        <translation>[GROUP] %1: </translation>
    </message>
</context>
<context>
    <name>_LineMsg</name>
    <message>
        <source>[IMAGE]</source>
        <translation>[IMAGE]</translation>
    </message>
    <message>
        <source>[VIDEO]</source>
        <translation>[VIDEO]</translation>
    </message>
    <message>
        <source>[VOICE]</source>
        <translation>[VOICE]</translation>
    </message>
    <message>
        <source>[STICKER-%1]</source>
        <translation>[STICKER-%1]</translation>
    </message>
    <message>
        <source>Contact: %1</source>
        <translation>Contact: %1</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Location</translation>
    </message>
</context>
<context>
    <name>_LineUser</name>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>backup2tool</name>
    <message>
        <source>This may take a few minutes. Please wait...</source>
        <translation>This may take a few minutes. Please wait...</translation>
    </message>
    <message>
        <source>Receiving files (size: %1)...</source>
        <translation>Receiving files (size: %1)...</translation>
    </message>
    <message>
        <source>Sending %1 to device...</source>
        <translation>Sending %1 to device...</translation>
    </message>
    <message>
        <source>Please restart your iPhone first.</source>
        <translation>Please restart your iPhone first.</translation>
    </message>
    <message>
        <source>Please disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</source>
        <translation>Please disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</translation>
    </message>
    <message>
        <source>Please follow this tutorial to disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</source>
        <translation>Please follow this tutorial to disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</translation>
    </message>
    <message>
        <source>Insufficient free disk space on device to back up. Not enough free disk space on your Device.</source>
        <translation>Insufficient free disk space on device to back up. Not enough free disk space on your Device.</translation>
    </message>
    <message>
        <source>Insufficient free disk space on drive to back up. Not enough free disk space on your computer.</source>
        <translation>Insufficient free disk space on drive to back up. Not enough free disk space on your computer.</translation>
    </message>
    <message>
        <source>Error attaching to device. Please Keep your iPhone connected and active.</source>
        <translation>Error attaching to device. Please Keep your iPhone connected and active.</translation>
    </message>
    <message>
        <source>Please restart your iPhone to try again.</source>
        <translation>Please restart your iPhone to try again.</translation>
    </message>
</context>
<context>
    <name>checkDeviceConnection</name>
    <message>
        <source>Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</source>
        <translation>Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>invalid libsqlite_qt.</source>
        <translation>invalid libsqlite_qt.</translation>
    </message>
</context>
</TS>
