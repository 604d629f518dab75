// The simulator's own texts. Control captions, view titles and file filters are the program's
// exact words; the Japanese questions and messages are what the user reads (source in UTF-8).
// Texts with %1 are filled with QString::arg.
#pragma once

namespace app::text {

inline constexpr const char* kProgram = "Vek";
inline constexpr const char* kAbout = "Vek Version 1.0";

// View titles, in the order of the View menu.
inline constexpr const char* kSeedViewTitle = "Seed View";
inline constexpr const char* kGeneViewTitle = "Gene View";
inline constexpr const char* kDaughterViewTitle = "Daughter View";
inline constexpr const char* kMotherViewTitle = "Mother View";
inline constexpr const char* kSizeViewTitle = "Size View";

// File dialogs: filter, default extension, default name.
inline constexpr const char* kVekFilter = "Vek Files (*.vek)";
inline constexpr const char* kVekSuffix = "vek";
inline constexpr const char* kVekInitialName = "*.vek";
inline constexpr const char* kGeneInitialFilter = "Gene Initial Files (*.gini)";
inline constexpr const char* kGeneInitialSuffix = "gini";
inline constexpr const char* kGeneInitialName = "*.gini";
inline constexpr const char* kParameterInitialFilter = "Parameter Initial Files (*.pini)";
inline constexpr const char* kParameterInitialSuffix = "pini";
inline constexpr const char* kParameterInitialName = "*.pini";
inline constexpr const char* kTovraFilter = "Tovra Files (*.view)";
inline constexpr const char* kTovraSuffix = "view";
inline constexpr const char* kFrequencyFilter = "Vek Freq Data Files (*.frq)";
inline constexpr const char* kFrequencySuffix = "frq";
inline constexpr const char* kGeneFilter = "Gene Files (*.gene)";
inline constexpr const char* kGeneSuffix = "gene";
inline constexpr const char* kBitmapFilter = "Widows Bitmap Files (*.bmp)";
inline constexpr const char* kBitmapSuffix = "bmp";

// Start-up and exit.
inline constexpr const char* kAskLoad =
    "保存されたワールドのファイルを読み込みます。\n"
    "初期化する場合や終了する場合は、次のファイルダイアログでキャンセルを選んでください。\n"
    "「いいえ」を選ぶとこのまま終了します。";
inline constexpr const char* kAskInitialise = "ワールドを初期化しますか？\n「はい」で初期化、「いいえ」で終了します。";
inline constexpr const char* kLoading = "：ファイル読み込み中";
inline constexpr const char* kWriting = "：ファイル書き込み中";
inline constexpr const char* kInitialised = "ワールドを初期化しました。\n保存フォルダ：%1";
inline constexpr const char* kLoadFailed =
    "ワールドを読み込めませんでした。\n%1\n\nこのフォルダのファイルには何も書き込みません。";
inline constexpr const char* kCreateFailed = "ワールドを初期化できませんでした。\n%1";
inline constexpr const char* kParameterFileFailed = "パラメータファイルを読み込めません：%1";
inline constexpr const char* kSaveFailed = "ファイルを書き込めませんでした。\n%1";
inline constexpr const char* kNotSaved = "ワールドは保存されていません。\n%1";

// Initial-settings dialog.
inline constexpr const char* kInitialSettingsTitle = "初期設定ファイルの選択";
inline constexpr const char* kInitialSettingsExplanation =
    "初期遺伝子ファイルと初期パラメータファイルを選んでください。\n"
    "どちらかに標準の設定を使うときは、その欄を空にしてOKを押してください。\n"
    "Defaultボタンは両方に標準の設定を使います。Exitボタンはプログラムを終了します。";
inline constexpr const char* kInitialGeneLabel = "初期遺伝子ファイル";
inline constexpr const char* kInitialParameterLabel = "初期パラメータファイル";
inline constexpr const char* kBrowse = "参照...";

// Control panel and phase panel.
inline constexpr const char* kControlTitle = "コントロール";
inline constexpr const char* kStart = "START";
inline constexpr const char* kSuspend = "SUSPEND";
inline constexpr const char* kStepInitial = "EXECUTE";
inline constexpr const char* kClose = "CLOSE";
inline constexpr const char* kLoadFirst = "先にファイルからワールドを読み込んでください。";
inline constexpr const char* kNothingLoaded = "ファイルから何も読み込まれていません。";

// Snapshots, genes, tables, pictures.
inline constexpr const char* kAskSaveSnapshot = "スナップショットデータを保存します。よろしいですか？";
inline constexpr const char* kWritingSnapshot = "：スナップショットファイル書き込み中";
inline constexpr const char* kWritingGene = "：遺伝子ファイル書き込み中";
inline constexpr const char* kWritingTable = "：頻度ファイル書き込み中";
inline constexpr const char* kWritingBitmap = "：BMPファイル書き込み中";

// Views and target dialog.
inline constexpr const char* kSeedsOfSizeLost = "このサイズの種子は失われました。";
inline constexpr const char* kSeedOfIdLost = "このIDの種子は失われました。";
inline constexpr const char* kGeneOfSizeLost = "このサイズの遺伝子は失われました。";
inline constexpr const char* kGeneOfIdLost = "このIDの遺伝子は失われました。";
inline constexpr const char* kGeneLost = "この遺伝子は失われました。";
inline constexpr const char* kAskShowSeed = "この種子をシードビューに表示しますか？";
inline constexpr const char* kNoTarget = "ターゲットが決まっていません。";
inline constexpr const char* kSeedNotSpecified = "種子が十分に指定されていません。";
inline constexpr const char* kTargetTitle = "ターゲット";

// The status line.
inline constexpr const char* kStatusRunning = "実行中　ターン %1　生存 %2　遺伝子 %3　%4 ターン/秒";
inline constexpr const char* kStatusStarting = "実行中　ターン %1　生存 %2　遺伝子 %3";
inline constexpr const char* kStatusParked = "停止中　ターン %1　生存 %2　遺伝子 %3";
inline constexpr const char* kStatusLoaded = "ターン %1 のワールドを読み込みました（生存 %2、遺伝子 %3）：%4";
inline constexpr const char* kStatusCreated = "ワールドを初期化しました（ターン %1、生存 %2、遺伝子 %3）：%4";
inline constexpr const char* kStatusNoWorld = "ワールドがありません。ファイルメニューから開くか新規作成してください。";

// Switching worlds.
inline constexpr const char* kAskSwitchUnsaved =
    "現在のワールドを保存できませんでした。\n%1\n\n保存せずに別のワールドに切り替えますか？";
inline constexpr const char* kAskReplaceSaved =
    "フォルダ %1 には保存されたワールドがあります。\n新しいワールドで置き換えますか？";
// Before a new world would take the folder of a saved one: load that one instead?
inline constexpr const char* kAskLoadSavedInstead =
    "フォルダ %1 には保存されたワールドがあります。\n"
    "新しいワールドを作らずに、このワールドを読み込みますか？\n"
    "「いいえ」を選ぶと、新しいワールドで置き換えるかどうかを次に尋ねます。";
// What a load noticed (a save finished, logs cut back, parameters missing...).
inline constexpr const char* kLoadNotices = "ワールドを読み込みました。次の点に注意してください：\n%1";

}  // namespace app::text
