<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AboutUsForm</name>
    <message>
        <source>关于</source>
        <translation>このソフトについて</translation>
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
        <translation>Qt %1 で構築</translation>
    </message>
</context>
<context>
    <name>BackupFileMerger</name>
    <message>
        <source>Transferring files...</source>
        <translation>ファイルを転送しています...</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>ファイル: %1</translation>
    </message>
    <message>
        <source>The keybag of the backup %1 holds no key of protection class %2.</source>
        <translation>バックアップ %1 のキーバッグには保護クラス %2 の鍵がありません。</translation>
    </message>
    <message>
        <source>cannot overwrite %1</source>
        <translation>%1 を上書きできません</translation>
    </message>
</context>
<context>
    <name>BackupLineLoad</name>
    <message>
        <source>%1 is not a backup folder.</source>
        <translation>%1 は バックアップフォルダではありません。</translation>
    </message>
    <message>
        <source>Found no Line data in your iTunes Backup. Please check if you have installed and logined Line on your iPhone.</source>
        <translation>iTunesバックアップにLineのデータが見つかりません。iPhoneにLineをインストールしてログインしているか確認してください。</translation>
    </message>
</context>
<context>
    <name>BackupLineMessagesThread</name>
    <message>
        <source>IDS_BACKING_UP_LINE_MESSAGES</source>
        <translation>LINEのメッセージをバックアップしています...</translation>
    </message>
    <message>
        <source>IDS_SUC_BACKUP_%1_MESSAGES_%2_NEW_%3_EXISTING</source>
        <translation>%1 件のメッセージをバックアップしました（新規 %2 件、既存 %3 件）。</translation>
    </message>
</context>
<context>
    <name>BackupTransaction</name>
    <message>
        <source>Another run of the program is changing the backup %1. Try again when it has finished.</source>
        <translation>別に実行中のプログラムがバックアップ %1 を変更しています。終了してからもう一度お試しください。</translation>
    </message>
    <message>
        <source>cannot write into the backup %1.</source>
        <translation>バックアップ %1 に書き込めません。</translation>
    </message>
    <message>
        <source>cannot write %1. %2</source>
        <translation>%1 に書き込めません。%2</translation>
    </message>
</context>
<context>
    <name>BigramTokenizer</name>
    <message>
        <source>This SQLite has no full-text search (FTS5).</source>
        <translation>この SQLite には全文検索 (FTS5) がありません。</translation>
    </message>
</context>
<context>
    <name>BubbleMarkup</name>
    <message>
        <source>Contact:</source>
        <translation>連絡先:</translation>
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
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER</source>
        <translation>デバイスを選択してください。</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_ONE_DATASOURCE</source>
        <translation>続行するにはデバイスを選択してください。</translation>
    </message>
</context>
<context>
    <name>DeviceBackupSettings</name>
    <message>
        <source>Failed to transfer data to device. Please turn off iCloud backup on your iPhone to try again.</source>
        <translation>デバイスへのデータ転送に失敗しました。iPhoneのiCloudバックアップをオフにしてから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>Failed to transfer data to device. Your iTunes backup is encrypted. Please run iTunes on computer and then uncheck &quot;Encrypt iPhone backup&quot; option to try again.</source>
        <translation>デバイスへのデータ転送に失敗しました。iTunesバックアップが暗号化されています。コンピュータでiTunesを起動し、「iPhoneのバックアップを暗号化」のチェックを外してから、もう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>DeviceLineLoad</name>
    <message>
        <source>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</source>
        <translation>iPhoneのLINEデータにアクセスできません。iPhoneにLINEがインストールされ、ログインしていることを確認してください。</translation>
    </message>
</context>
<context>
    <name>DevicePartialBackup</name>
    <message>
        <source>Loading data from Device...</source>
        <translation>デバイスからデータを読み込んでいます...</translation>
    </message>
</context>
<context>
    <name>DeviceRestore</name>
    <message>
        <source>Transferring data to Device...</source>
        <translation>デバイスへデータを転送しています...</translation>
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
        <translation>エクスポートしたトーク</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>トーク</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>メッセージ数</translation>
    </message>
    <message>
        <source>First message</source>
        <translation>最初のメッセージ</translation>
    </message>
    <message>
        <source>Last message</source>
        <translation>最後のメッセージ</translation>
    </message>
</context>
<context>
    <name>ExportMessagesHtml</name>
    <message>
        <source>%1 (page %2)</source>
        <translation>%1（%2 ページ目）</translation>
    </message>
    <message>
        <source>All chats</source>
        <translation>すべてのトーク</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>前のページ</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>次のページ</translation>
    </message>
</context>
<context>
    <name>ExportMessagesPdf</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>メッセージをエクスポートしています...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>%1 件のメッセージをエクスポートしました。</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>メッセージ: %1/%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>フォルダ %1 を作成できません。</translation>
    </message>
    <message>
        <source>Cannot write the file %1.</source>
        <translation>ファイル %1 を書き込めません。</translation>
    </message>
</context>
<context>
    <name>ExportMessagesThread</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>メッセージをエクスポートしています...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>%1 件のメッセージをエクスポートしました。</translation>
    </message>
</context>
<context>
    <name>ExportTextFile</name>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 に書き込めません: %2</translation>
    </message>
</context>
<context>
    <name>ExtractMediaFilesThread</name>
    <message>
        <source>IDS_EXTRACTING_MEDIA_FILES</source>
        <translation>添付ファイルを取り出しています...</translation>
    </message>
    <message>
        <source>IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1</source>
        <translation>添付ファイルを %1 に取り出しました。</translation>
    </message>
    <message>
        <source>Extracted %1 attachments to %2, but %3 could not be copied.
%4</source>
        <translation>%1 件の添付ファイルを %2 に取り出しましたが、%3 件はコピーできませんでした。
%4</translation>
    </message>
    <message>
        <source>%1 attachments were already there and were not copied again.</source>
        <translation>%1 件の添付ファイルは既にあるため、コピーしませんでした。</translation>
    </message>
</context>
<context>
    <name>IOSLineDb</name>
    <message>
        <source>Found no LINE messages in %1.</source>
        <translation>%1 に LINE のメッセージが見つかりません。</translation>
    </message>
    <message>
        <source>%1 is not a LINE message database this program can read: it has no %2.</source>
        <translation>%1 は本プログラムで読み込める LINE のメッセージデータベースではありません（%2 がありません）。</translation>
    </message>
    <message>
        <source>Messages cannot be written into %1: it lacks %2.</source>
        <translation>%1 にメッセージを書き込めません（%2 がありません）。</translation>
    </message>
</context>
<context>
    <name>IOSLineStoreCache</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 を読み取れません: %2</translation>
    </message>
    <message>
        <source>%1 cannot be copied into the program&apos;s cache (%2): %3</source>
        <translation>%1 をプログラムのキャッシュ（%2）にコピーできません: %3</translation>
    </message>
    <message>
        <source>The program&apos;s cache folder %1 cannot be replaced.</source>
        <translation>プログラムのキャッシュフォルダ %1 を置き換えられません。</translation>
    </message>
    <message>
        <source>The program&apos;s cache folder %1 cannot be created.</source>
        <translation>プログラムのキャッシュフォルダ %1 を作成できません。</translation>
    </message>
    <message>
        <source>Copying LINE&apos;s message store...</source>
        <translation>LINE のメッセージデータをコピーしています...</translation>
    </message>
    <message>
        <source>Neither the program&apos;s cache %1 nor a temporary folder can be written.</source>
        <translation>プログラムのキャッシュ %1 にも一時フォルダにも書き込めません。</translation>
    </message>
</context>
<context>
    <name>IOSLoadLineFromiTunesThread</name>
    <message>
        <source>IDS_LOADING_ITUNES_BACKUP</source>
        <translation>iTunesバックアップからデータを読み込んでいます...</translation>
    </message>
    <message>
        <source>IDS_CACHING_BACKUP_FILE_%1</source>
        <translation>%1 を読み込んでいます...</translation>
    </message>
</context>
<context>
    <name>IOSMobileBackupThread</name>
    <message>
        <source>Note: You can restart your device to try again.</source>
        <translation>注意：デバイスを再起動してから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>this tutorial</source>
        <translation>こちらの手順</translation>
    </message>
    <message>
        <source>tutorial</source>
        <translation>手順</translation>
    </message>
    <message>
        <source>Connection to device lost. Please try the following solutions:</source>
        <translation>デバイスとの接続が切れました。次の方法をお試しください：</translation>
    </message>
    <message>
        <source>Failed to connect your iPhone. Please try the following solutions:</source>
        <translation>iPhoneに接続できませんでした。次の方法をお試しください：</translation>
    </message>
    <message>
        <source>A:
Step 1) Restart your iPhone.
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</source>
        <translation>A:
手順1) iPhoneを再起動します。
手順2) iPhoneをiTunesに接続し、コンピュータにiPhoneをバックアップします。
手順3) Vantorelソフトウェアを起動して、もう一度お試しください。</translation>
    </message>
    <message>
        <source>B:
Step 1) Delete the lockdown folder from your computer.%1
Step 2) Connect your iPhone to iTunes to backup your iPhone on computer.
Step 3) Run Vantorel software to try again.</source>
        <translation>B:
手順1) コンピュータからlockdownフォルダを削除します。%1
手順2) iPhoneをiTunesに接続し、コンピュータにiPhoneをバックアップします。
手順3) Vantorelソフトウェアを起動して、もう一度お試しください。</translation>
    </message>
    <message>
        <source>How to</source>
        <translation>方法</translation>
    </message>
    <message>
        <source>Note: You can follow this tutorial to try.</source>
        <translation>注意：こちらの手順に従ってお試しいただけます。</translation>
    </message>
    <message>
        <source>Tip: You can follow this tutorial to try.</source>
        <translation>ヒント：こちらの手順に従ってお試しいただけます。</translation>
    </message>
    <message>
        <source>Please enter your passcode on your iPhone to start the encrypted backup.</source>
        <translation>暗号化バックアップを開始するには、iPhoneでパスコードを入力してください。</translation>
    </message>
</context>
<context>
    <name>IOSRestoreLineMsgThread</name>
    <message>
        <source>IDS_RESTORING_LINE_MSG_TO_IOS</source>
        <translation>メッセージをiPhoneに転送しています...</translation>
    </message>
    <message>
        <source>Please restart your phone to try again.</source>
        <translation>iPhoneを再起動してからもう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>IOSiTunesBKSetPasswordThread</name>
    <message>
        <source>Verifying. Please wait...</source>
        <translation>確認しています。しばらくお待ちください...</translation>
    </message>
</context>
<context>
    <name>ItemModelMain</name>
    <message>
        <source>IDS_ROOT_DEVICE</source>
        <translation>デバイス</translation>
    </message>
    <message>
        <source>IDS_ROOT_LOCALDB</source>
        <translation>ローカルデータベース</translation>
    </message>
</context>
<context>
    <name>ItemModelSms</name>
    <message>
        <source>To</source>
        <translation>送信</translation>
    </message>
    <message>
        <source>From</source>
        <translation>受信</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日時</translation>
    </message>
    <message>
        <source>Flag</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>連絡先</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>内容</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
</context>
<context>
    <name>LineBubblePageBuilder</name>
    <message>
        <source>&lt;&lt;Previous Page</source>
        <translation>&lt;&lt;前のページ</translation>
    </message>
    <message>
        <source>&gt;&gt;Next Page</source>
        <translation>&gt;&gt;次のページ</translation>
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
        <translation>%1 をコピーできません。</translation>
    </message>
    <message>
        <source>cannot find %1.</source>
        <translation>%1 が見つかりません。</translation>
    </message>
</context>
<context>
    <name>LineLocalDb</name>
    <message>
        <source>The database layout cannot be read: %1</source>
        <translation>データベースの構成を読み込めません: %1</translation>
    </message>
    <message>
        <source>The message database cannot be created: %1</source>
        <translation>メッセージデータベースを作成できません: %1</translation>
    </message>
    <message>
        <source>%1 is not a message database of this program (the table %2 is missing).</source>
        <translation>%1 は本プログラムのメッセージデータベースではありません（テーブル %2 がありません）。</translation>
    </message>
    <message>
        <source>The folder %1 of the message database cannot be created.</source>
        <translation>メッセージデータベースのフォルダ %1 を作成できません。</translation>
    </message>
    <message>
        <source>The message database %1 cannot be created: %2</source>
        <translation>メッセージデータベース %1 を作成できません: %2</translation>
    </message>
</context>
<context>
    <name>LineTransferFlow</name>
    <message>
        <source>%1 can&apos;t be the name of a local database.</source>
        <translation>%1 はローカルデータベースの名前に使えません。</translation>
    </message>
    <message>
        <source>The messages come from this backup: choose another one to transfer them to.</source>
        <translation>メッセージはこのバックアップから読み込まれています。転送先には別のバックアップを選んでください。</translation>
    </message>
    <message>
        <source>Can&apos;t create a temporary folder: %1</source>
        <translation>一時フォルダを作成できません: %1</translation>
    </message>
    <message>
        <source>Successfully transferred %1 messages to iPhone.</source>
        <translation>%1 件のメッセージをiPhoneに転送しました。</translation>
    </message>
    <message>
        <source>The messages come from this iPhone: choose another one to transfer them to.</source>
        <translation>メッセージはこのiPhoneから読み込まれています。転送先には別のiPhoneを選んでください。</translation>
    </message>
    <message>
        <source>Can&apos;t access Line data on your iPhone. Please make sure you have installed and logined Line Messenger on your iPhone.</source>
        <translation>iPhoneのLineデータにアクセスできません。iPhoneにLine Messengerをインストールしてログインしていることを確認してください。</translation>
    </message>
    <message>
        <source>Notes:

1) &quot;Find My iPhone&quot; must be disabled on iPhone.

2) To transfer Line Messages to iPhone successfully, please close Line on your iPhone first.</source>
        <translation>注意:

1) iPhoneの「iPhoneを探す」をオフにしてください。

2) Lineのメッセージを正しく転送するため、先にiPhoneのLineを終了してください。</translation>
    </message>
    <message>
        <source>detail</source>
        <translation>詳細</translation>
    </message>
    <message>
        <source>The iPhone did not take the transfer of LINE&apos;s files alone. Transfer them with a backup and restore of the whole iPhone instead?</source>
        <translation>iPhoneはLINEのファイルだけの転送を受け付けませんでした。代わりにiPhone全体のバックアップと復元で転送しますか?</translation>
    </message>
    <message>
        <source>Successfully transferred %1 messages to iPhone. Now please disconnect your iPhone from computer.</source>
        <translation>%1 件のメッセージをiPhoneに転送しました。iPhoneをコンピュータから取り外してください。</translation>
    </message>
    <message>
        <source>Note: If you get the following prompts on iPhone when iPhone rebooted, please choose &quot;Don&apos;t Transfer App &amp; Data&quot; option.</source>
        <translation>注意: iPhoneの再起動後に次の画面が表示されたら、「Appとデータを転送しない」を選んでください。</translation>
    </message>
    <message>
        <source>This iPhone takes LINE&apos;s messages only with a backup and restore of the whole iPhone. The iPhone holds about %1 GB: the computer needs that much free disk space twice (it has %2 GB free), and the backup and restore take about %3 minutes. The backup stays on the computer, so the iPhone can be put back as it was. Go on?</source>
        <translation>このiPhoneには、iPhone全体のバックアップと復元でしかLINEのメッセージを転送できません。iPhoneのデータは約 %1 GBです。コンピュータにはその2倍の空き容量が必要で(現在の空き容量は %2 GB)、バックアップと復元には約 %3 分かかります。バックアップはコンピュータに残るので、iPhoneを元の状態に戻すことができます。続けますか?</translation>
    </message>
    <message>
        <source>All %1 messages are already on the iPhone: nothing needed to change, so the iPhone was not restored.</source>
        <translation>%1 件のメッセージはすべて iPhone にあります。変更は必要なかったため、iPhone の復元は行いませんでした。</translation>
    </message>
</context>
<context>
    <name>LinkedBackupCopy</name>
    <message>
        <source>There is no backup in %1.</source>
        <translation>%1 にバックアップがありません。</translation>
    </message>
    <message>
        <source>Can&apos;t remove %1.</source>
        <translation>%1 を削除できません。</translation>
    </message>
    <message>
        <source>Can&apos;t create %1.</source>
        <translation>%1 を作成できません。</translation>
    </message>
    <message>
        <source>Can&apos;t copy %1 to %2.</source>
        <translation>%1 を %2 にコピーできません。</translation>
    </message>
</context>
<context>
    <name>LoadItunesBackupDlg</name>
    <message>
        <source>IDS_SELECT_AN_ITUNES_BACKUP_TO_LOAD</source>
        <translation>読み込むiTunesバックアップを選択してください。</translation>
    </message>
    <message>
        <source>IDS_NO_BACKUP_LISTED_THERE_CLICK_&lt;a href=&quot;#&quot;&gt;Here&lt;/a&gt;_ADD</source>
        <translation>一覧にiTunesバックアップが見つかりませんか？&lt;a href=&quot;#&quot;&gt;ここ&lt;/a&gt;をクリックして手動で読み込んでください。</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_ONE_ITUNES_BACKUP</source>
        <translation>続行するにはiTunesバックアップを選択してください。</translation>
    </message>
    <message>
        <source>IDS_LOAD_BK_EXISTS</source>
        <translation>このiTunesバックアップはすでに左側の一覧にあります。</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読み込む</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>LoadLineDbThread</name>
    <message>
        <source>Loading...</source>
        <translation>読み込み中...</translation>
    </message>
</context>
<context>
    <name>LocalDbSelForm</name>
    <message>
        <source>选择要备份到哪个数据库</source>
        <translation>バックアップ先のデータベースを選択</translation>
    </message>
    <message>
        <source>选择或输入新的数据库名称:</source>
        <translation>追加先の既存データベースを選ぶか、新しいデータベース名を入力してください：</translation>
    </message>
    <message>
        <source>选择现有的数据库会将短信息附加到里面,输入新的名字会创建新的本地数据库.</source>
        <translation>既存のデータベースを選ぶとメッセージが追加され、新しい名前を入力すると新しいローカルデータベースが作成されます。</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>IDS_PLEASE_SELECT_DATABASE_OR_INPUT_NEW_NAME</source>
        <translation>データベースを選択するか、新しいデータベース名を入力してください</translation>
    </message>
    <message>
        <source>IDS_INVALID_LOCALDB_NAME</source>
        <translation>ローカルデータベース名が正しくありません（\ / : * ? &quot; &amp;lt; &amp;gt; | は使えません）。</translation>
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
        <translation>メッセージをバックアップ</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_TOOLBAR</source>
        <translation>データベースのメッセージをiPhoneに転送</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_TOOLBAR</source>
        <translation>添付ファイルを取り出す</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_TOOLBAR</source>
        <translation>メッセージをファイルにエクスポート</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_TOOLBAR</source>
        <translation>メッセージを印刷</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_TOOLBAR</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>IDS_MI_IMPORT_FROM_ITUNES</source>
        <translation>iTunesバックアップから読み込む</translation>
    </message>
    <message>
        <source>IDS_MI_OPEN_DB_FOLDER</source>
        <translation>データベースフォルダを開く</translation>
    </message>
    <message>
        <source>IDS_MI_EXIT</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>IDS_MI_CHECK_UPDATE</source>
        <translation>アップデートを確認</translation>
    </message>
    <message>
        <source>IDS_CLEAR_CACHE</source>
        <translation>キャッシュファイルを削除</translation>
    </message>
    <message>
        <source>IDS_MI_HELP</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>IDS_MI_FEEDBACK</source>
        <translation>フィードバックとサポート</translation>
    </message>
    <message>
        <source>IDS_MI_ABOUT</source>
        <translation>このソフトについて</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_ALL</source>
        <translation>メッセージをバックアップ</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_ALL</source>
        <translation>iPhoneからiPhoneへメッセージを転送</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_All</source>
        <translation>メッセージの添付ファイルを取り出す</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_ALL</source>
        <translation>メッセージをファイルにエクスポート</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_ALL</source>
        <translation>メッセージを印刷</translation>
    </message>
    <message>
        <source>IDS_MI_UNMOUNT_DEVICE</source>
        <translation>デバイスを切断</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_ALL</source>
        <translation>データベースのメッセージをiPhoneに転送</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_ALL</source>
        <translation>メッセージを削除</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_CHAT</source>
        <translation>この相手とのメッセージをバックアップ</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_CHAT</source>
        <translation>この相手とのメッセージを別のiPhoneに転送</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_CHAT</source>
        <translation>この相手とのメッセージから添付ファイルを取り出す</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_CHAT</source>
        <translation>この相手とのメッセージをファイルにエクスポート</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_CHAT</source>
        <translation>この相手とのメッセージを印刷</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_CHAT</source>
        <translation>この相手とのメッセージをiPhoneに転送</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_CHAT</source>
        <translation>この相手とのメッセージを削除</translation>
    </message>
    <message>
        <source>IDS_MI_BACKUP_SEL</source>
        <translation>選択したメッセージをバックアップ</translation>
    </message>
    <message>
        <source>IDS_MI_I2I_SEL</source>
        <translation>選択したメッセージを別のiPhoneに転送</translation>
    </message>
    <message>
        <source>IDS_MI_EXTRACT_MEDIA_SEL</source>
        <translation>選択したメッセージから添付ファイルを取り出す</translation>
    </message>
    <message>
        <source>IDS_MI_EXPORT_SEL</source>
        <translation>選択したメッセージをファイルにエクスポート</translation>
    </message>
    <message>
        <source>IDS_MI_PRINT_SEL</source>
        <translation>選択したメッセージを印刷</translation>
    </message>
    <message>
        <source>IDS_MI_DB2I_SEL</source>
        <translation>選択したメッセージをiPhoneに転送</translation>
    </message>
    <message>
        <source>IDS_MI_DELETE_SEL</source>
        <translation>選択したメッセージを削除</translation>
    </message>
    <message>
        <source>IDS_SUC_CLEAR_CACHE</source>
        <translation>キャッシュファイルを削除しました。</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUNDCONTACT_KEYWORD_%0</source>
        <translation>キーワード「%1」に一致する連絡先は見つかりませんでした。</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUNDSMS_KEYWORD_%0</source>
        <translation>キーワード「%1」に一致するメッセージは見つかりませんでした。</translation>
    </message>
    <message>
        <source>IDS_CAN_NOT_FOUND_AND_MESSAGES</source>
        <translation>メッセージが見つかりません。</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_SEL_MESSAGES</source>
        <translation>選択したメッセージを削除しますか？</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_THIS_CHAT</source>
        <translation>この相手とのメッセージを削除しますか？</translation>
    </message>
    <message>
        <source>IDS_CONFIRM_DEL_THIS_LOCALDB</source>
        <translation>このデータベースを削除しますか？</translation>
    </message>
    <message>
        <source>IDS_DEL_LOCALDB_SUC</source>
        <translation>データベースを削除しました。</translation>
    </message>
    <message>
        <source>IDS_SEL_EXPORT_MESSAGES_PATH</source>
        <translation>メッセージの保存先を選択してください。</translation>
    </message>
    <message>
        <source>IDS_TITLE_SEL_OUTPUT_FOLDER_EXTRACT_MEDIA_FILES</source>
        <translation>添付ファイルの保存先を選択してください。</translation>
    </message>
    <message>
        <source>IDS_SEL_ONE_IOS_DEVICE</source>
        <translation>iPhoneを選択してください：</translation>
    </message>
    <message>
        <source>Total: 0</source>
        <translation>合計: 0</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Failed to detect iPhone. Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</source>
        <translation>iPhone を検出できませんでした。まず iTunes（macOS 10.15 以降は Finder）を起動してから iPhone を接続し直してください。iTunes（macOS 10.15 以降は Finder）に iPhone が表示されたら、Vantorel ソフトウェアを再起動してください。</translation>
    </message>
    <message>
        <source>Messages: %1</source>
        <translation>メッセージ: %1</translation>
    </message>
    <message>
        <source>All</source>
        <translation>すべて</translation>
    </message>
    <message>
        <source>Messages: 0</source>
        <translation>メッセージ: 0</translation>
    </message>
    <message>
        <source>No iPhone and no message database yet.

Attach your iPhone with a USB cable and unlock it, or import an iTunes backup (File menu).</source>
        <translation>iPhone もメッセージデータベースもまだありません。

iPhone を USB ケーブルで接続してロックを解除するか、iTunes バックアップをインポートしてください（ファイルメニュー）。</translation>
    </message>
    <message>
        <source>Your LINE chats appear here once an iPhone is attached or a backup is imported.</source>
        <translation>iPhone を接続するかバックアップをインポートすると、ここに LINE のトークが表示されます。</translation>
    </message>
    <message>
        <source>&lt;b&gt;Failed to Detect Your Phone.&lt;/b&gt;</source>
        <translation>&lt;b&gt;電話を検出できませんでした。&lt;/b&gt;</translation>
    </message>
    <message>
        <source>For iPhone, please follow these steps:&lt;br/&gt;1. Use your passcode to unlock iPhone.&lt;br/&gt;2. Connect your iPhone with another USB port.&lt;br/&gt;3. Exit Vantorel and then launch iTunes (Finder  if MacOS 10.15 or above) to install USB driver.</source>
        <translation>iPhone の場合は次の手順に従ってください:&lt;br/&gt;1. パスコードで iPhone のロックを解除してください。&lt;br/&gt;2. iPhone を別の USB ポートに接続してください。&lt;br/&gt;3. Vantorel を終了し、iTunes（macOS 10.15 以降は Finder）を起動して USB ドライバーをインストールしてください。</translation>
    </message>
    <message>
        <source>4. Click &lt;a href=&quot;#restart_applemobileservice&quot;&gt;HERE&lt;/a&gt; to restart AppleMobileService.</source>
        <translation>4. &lt;a href=&quot;#restart_applemobileservice&quot;&gt;ここ&lt;/a&gt;をクリックして AppleMobileService を再起動してください。</translation>
    </message>
    <message>
        <source>Failed to restart.</source>
        <translation>再起動できませんでした。</translation>
    </message>
    <message>
        <source>Successfully restarted! Now please reconnect your iPhone to PC.&lt;br/&gt;&lt;br/&gt;Note:&lt;br/&gt;1. Make sure you have unlocked your iPhone screen.&lt;br/&gt;2. If you get a &quot;Trust this computer?&quot; prompt on your iPhone, please tap &quot;Trust&quot;&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</source>
        <translation>再起動しました。iPhone をパソコンに接続し直してください。&lt;br/&gt;&lt;br/&gt;注意:&lt;br/&gt;1. iPhone の画面のロックを解除してください。&lt;br/&gt;2. iPhone に「このコンピュータを信頼しますか？」と表示されたら「信頼」をタップしてください。&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</translation>
    </message>
    <message>
        <source>You need to allow this computer to access data on your iPhone. Please choose &lt;b&gt;&quot;Trust&quot;&lt;/b&gt; option on your iPhone screen and then click the &quot;Retry&quot; button below. &lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</source>
        <translation>このコンピュータに iPhone のデータへのアクセスを許可する必要があります。iPhone の画面で&lt;b&gt;「信頼」&lt;/b&gt;を選び、下の「再試行」ボタンをクリックしてください。&lt;br/&gt;&lt;br/&gt;&lt;img src=&quot;:res/trust_iphone.png&quot;/&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Notes:&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;1.&lt;/b&gt;  If your iPhone is protected with a passcode, please enter your passcode on iPhone first.&lt;/nobr&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;2.&lt;/b&gt;  Please make sure you have installed and logined Line on your iPhone.&lt;/nobr&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;注意:&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;1.&lt;/b&gt;  iPhone にパスコードを設定している場合は、先に iPhone でパスコードを入力してください。&lt;/nobr&gt;&lt;/p&gt;&lt;p&gt;&lt;nobr&gt;&lt;b&gt;2.&lt;/b&gt;  iPhone に LINE がインストールされ、ログインしていることを確認してください。&lt;/nobr&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Text Files(*.txt)</source>
        <translation>テキストファイル(*.txt)</translation>
    </message>
    <message>
        <source>Doc Files(*.doc)</source>
        <translation>Doc ファイル(*.doc)</translation>
    </message>
    <message>
        <source>CSV Files(*.csv)</source>
        <translation>CSV ファイル(*.csv)</translation>
    </message>
    <message>
        <source>PDF Files(*.pdf)</source>
        <translation>PDF ファイル(*.pdf)</translation>
    </message>
    <message>
        <source>HTML Files(*.html)</source>
        <translation>HTML ファイル(*.html)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>ツール</translation>
    </message>
    <message>
        <source>View Cache Files</source>
        <translation>キャッシュファイルを表示</translation>
    </message>
    <message>
        <source>Export Messages to iTunes Backup</source>
        <translation>メッセージを iTunes バックアップへエクスポート</translation>
    </message>
    <message>
        <source>Export Messages with this contact to iTunes Backup</source>
        <translation>この連絡先とのメッセージを iTunes バックアップへエクスポート</translation>
    </message>
    <message>
        <source>Export selected Messages to iTunes Backup</source>
        <translation>選択したメッセージを iTunes バックアップへエクスポート</translation>
    </message>
    <message>
        <source>To delete and clear the cache files, please disconnect your phone first.</source>
        <translation>キャッシュファイルを削除するには、先に iPhone の接続を解除してください。</translation>
    </message>
    <message>
        <source>Delete the cached copies of your iPhones&apos; data? They are made again when an iPhone is attached; your local databases are not touched.</source>
        <translation>iPhone のデータのキャッシュを削除しますか？ iPhone を接続すると再び作成されます。ローカルデータベースは変更されません。</translation>
    </message>
    <message>
        <source>Some cache files could not be deleted (they may be in use). Please try again later.</source>
        <translation>一部のキャッシュファイルを削除できませんでした（使用中の可能性があります）。後でもう一度お試しください。</translation>
    </message>
    <message>
        <source>This copy of the program has no update service configured, so it cannot look for a newer version. Nothing was sent.</source>
        <translation>このプログラムには更新サービスが設定されていないため、新しいバージョンを確認できません。何も送信されていません。</translation>
    </message>
    <message>
        <source>This copy of the program has no help pages configured. Nothing was sent.</source>
        <translation>このプログラムにはヘルプページが設定されていません。何も送信されていません。</translation>
    </message>
    <message>
        <source>This copy of the program has no support address configured. Nothing was sent.</source>
        <translation>このプログラムにはサポートの連絡先が設定されていません。何も送信されていません。</translation>
    </message>
    <message>
        <source>Attach the iPhone the messages should go to, then try again.</source>
        <translation>メッセージの転送先の iPhone を接続してから、もう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>MediaExtractor</name>
    <message>
        <source>IDS_EXTRACTING_MEDIA_FILES</source>
        <translation>添付ファイルを取り出しています...</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>フォルダ %1 を作成できません。</translation>
    </message>
</context>
<context>
    <name>MessageBoxBuilder</name>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>再試行</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>無視</translation>
    </message>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1</source>
        <translation>エラーが発生しました。&lt;br/&gt;&lt;br/&gt;%1</translation>
    </message>
    <message>
        <source>An Error Occurred. &lt;br/&gt;&lt;br/&gt;%1&lt;br/&gt;&lt;br/&gt; Or you can contact %2 for help.</source>
        <translation>エラーが発生しました。&lt;br/&gt;&lt;br/&gt;%1&lt;br/&gt;&lt;br/&gt;解決しない場合は %2 までお問い合わせください。</translation>
    </message>
</context>
<context>
    <name>MessageExporter</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>メッセージをエクスポートしています...</translation>
    </message>
    <message>
        <source>not support export format.</source>
        <translation>この形式のエクスポートには対応していません。</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>メッセージ: %1/%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>フォルダ %1 を作成できません。</translation>
    </message>
    <message>
        <source>%1 is a file; give the name of a folder to export into.</source>
        <translation>%1 はファイルです。エクスポート先にはフォルダ名を指定してください。</translation>
    </message>
    <message>
        <source>%1 is a folder; give the name of a file to export into.</source>
        <translation>%1 はフォルダです。エクスポート先にはファイル名を指定してください。</translation>
    </message>
</context>
<context>
    <name>MessageSearch</name>
    <message>
        <source>Type something to search for.</source>
        <translation>検索する文字を入力してください。</translation>
    </message>
</context>
<context>
    <name>MessageSearchIndex</name>
    <message>
        <source>The search index cannot be written: %1</source>
        <translation>検索インデックスを書き込めません: %1</translation>
    </message>
    <message>
        <source>The file is not a search index.</source>
        <translation>このファイルは検索インデックスではありません。</translation>
    </message>
    <message>
        <source>The search index is damaged.</source>
        <translation>検索インデックスが壊れています。</translation>
    </message>
    <message>
        <source>The search index is out of date.</source>
        <translation>検索インデックスが古くなっています。</translation>
    </message>
    <message>
        <source>Building the search index...</source>
        <translation>検索インデックスを作成しています...</translation>
    </message>
    <message>
        <source>The search index %1 cannot be written: %2</source>
        <translation>検索インデックス %1 を書き込めません: %2</translation>
    </message>
    <message>
        <source>Compacting the search index...</source>
        <translation>検索インデックスを圧縮しています...</translation>
    </message>
</context>
<context>
    <name>MessageSearchPanel</name>
    <message>
        <source>Search Results</source>
        <translation>検索結果</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>検索しています...</translation>
    </message>
</context>
<context>
    <name>PasscodeDlg</name>
    <message>
        <source>IDS_PLEASE_ENTER_PASSWORD_TO_LOAD_BACKUP</source>
        <translation>このiTunesバックアップは暗号化されています。パスワードを入力してください：</translation>
    </message>
    <message>
        <source>IDS_ENTER_PASSWORD</source>
        <translation>パスワードを入力</translation>
    </message>
    <message>
        <source>IDS_PWD_IS_NULL</source>
        <translation>パスワードを入力してください。</translation>
    </message>
    <message>
        <source>IDS_INVALID_PASSWORD</source>
        <translation>パスワードが正しくありません。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>PrintLineMsgsExec</name>
    <message>
        <source>The pages cannot be printed.</source>
        <translation>ページを印刷できません。</translation>
    </message>
</context>
<context>
    <name>PrintLineMsgsPreview</name>
    <message>
        <source>IDS_PRINT_MESSAGES</source>
        <translation>メッセージを印刷</translation>
    </message>
    <message>
        <source>To print more than 100 pages messages, please click &quot;File&quot;-&gt;&quot;Export Messages to File&quot; menu to save messages to a PDF file first and then print the PDF file.</source>
        <translation>100 ページを超えるメッセージを印刷するには、「ファイル」→「メッセージをファイルに書き出す」メニューでメッセージを PDF ファイルに保存してから、その PDF ファイルを印刷してください。</translation>
    </message>
    <message>
        <source>Printing...</source>
        <translation>印刷中...</translation>
    </message>
</context>
<context>
    <name>ProgressForm</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Progress:%1%</source>
        <translation>進捗：%1%</translation>
    </message>
    <message>
        <source>Are You Sure You Want To Cancel?</source>
        <translation>キャンセルしてもよろしいですか？</translation>
    </message>
</context>
<context>
    <name>SearchResultsModel</name>
    <message>
        <source>(me)</source>
        <translation>(自分)</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>トーク</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>日時</translation>
    </message>
    <message>
        <source>Sender</source>
        <translation>送信者</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>メッセージ</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>This version of Vantorel software has become obsolete. Please download the latest version to install on your computer.</source>
        <translation>このバージョンの Vantorel ソフトウェアは古くなりました。最新バージョンをダウンロードしてコンピューターにインストールしてください。</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
</context>
<context>
    <name>Win32KillProcessesThread</name>
    <message>
        <source>iTunes can&apos;t be started when running Vantorel. Please close iTunes.</source>
        <translation>Vantorelの実行中はiTunesを起動できません。iTunesを終了してください。</translation>
    </message>
</context>
<context>
    <name>_LineGroup</name>
    <message>
        <source>[GROUP] %1</source>
        <translation>[グループ] %1</translation>
    </message>
    <message>
        <source>[GROUP] %1: </source>
        <translation>[グループ] %1: </translation>
    </message>
</context>
<context>
    <name>_LineMsg</name>
    <message>
        <source>[IMAGE]</source>
        <translation>[写真]</translation>
    </message>
    <message>
        <source>[VIDEO]</source>
        <translation>[動画]</translation>
    </message>
    <message>
        <source>[VOICE]</source>
        <translation>[ボイスメッセージ]</translation>
    </message>
    <message>
        <source>[STICKER-%1]</source>
        <translation>[スタンプ-%1]</translation>
    </message>
    <message>
        <source>Contact: %1</source>
        <translation>連絡先: %1</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>位置情報</translation>
    </message>
</context>
<context>
    <name>_LineUser</name>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
</context>
<context>
    <name>backup2tool</name>
    <message>
        <source>This may take a few minutes. Please wait...</source>
        <translation>数分かかる場合があります。しばらくお待ちください...</translation>
    </message>
    <message>
        <source>Receiving files (size: %1)...</source>
        <translation>ファイルを受信しています（サイズ：%1）...</translation>
    </message>
    <message>
        <source>Sending %1 to device...</source>
        <translation>%1 をデバイスへ送信しています...</translation>
    </message>
    <message>
        <source>Please restart your iPhone first.</source>
        <translation>まずiPhoneを再起動してください。</translation>
    </message>
    <message>
        <source>Please disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</source>
        <translation>まず「iPhoneを探す」をオフにし、iPhoneを再起動してから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>Please follow this tutorial to disable &quot;Find my iPhone&quot; first and then restart your iPhone to try again.</source>
        <translation>こちらの手順に従ってまず「iPhoneを探す」をオフにし、iPhoneを再起動してから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>Insufficient free disk space on device to back up. Not enough free disk space on your Device.</source>
        <translation>デバイスの空き容量が不足しています。デバイスに十分な空き容量がありません。</translation>
    </message>
    <message>
        <source>Insufficient free disk space on drive to back up. Not enough free disk space on your computer.</source>
        <translation>バックアップ先ドライブの空き容量が不足しています。コンピュータに十分な空き容量がありません。</translation>
    </message>
    <message>
        <source>Error attaching to device. Please Keep your iPhone connected and active.</source>
        <translation>デバイスへの接続でエラーが発生しました。iPhoneを接続したまま、ロックを解除した状態にしてください。</translation>
    </message>
    <message>
        <source>Please restart your iPhone to try again.</source>
        <translation>iPhoneを再起動してから、もう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>checkDeviceConnection</name>
    <message>
        <source>Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please restart Vantorel software.</source>
        <translation>まずiTunes（macOS 10.15以降はFinder）を起動してから、iPhoneを接続し直してください。iTunes（macOS 10.15以降はFinder）にiPhoneが表示されたら、Vantorelソフトウェアを再起動してください。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>invalid libsqlite_qt.</source>
        <translation>libsqlite_qt が正しくありません。</translation>
    </message>
</context>
</TS>
