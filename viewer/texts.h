// The viewer's own texts. The console lines are the program's exact words; the Japanese
// texts of the questions, windows and dialog are shown to the user (source in UTF-8).
#pragma once

namespace viewer::text {

inline constexpr const char* kGreeting[] = {"Hello World!!", "I'm Tovra.", "Please let me know about your world!!"};
inline constexpr const char* kFrameworkFailed = "Fatal Error: MFC initialization failed";

inline constexpr const char* kProgram = "Tovra";
inline constexpr const char* kTitlePrefix = "Tovra::";
inline constexpr const char* kChooseFirstFile = "これから最初に読み込むファイルを選択します。よろしいですか？";
inline constexpr const char* kDiscardAndReload = "読み込んだデータを破棄して、新しいファイルを読み込みますか？";
inline constexpr const char* kLoadingFile = "ファイル読み込み中";
inline constexpr const char* kSavingBitmap = "BMPファイル保存中";
inline constexpr const char* kCannotLoad = "ファイルを読み込めませんでした。";  // the file could not be loaded

inline constexpr const char* kSnapshotFilter = "Tovra Files (*.view)";
inline constexpr const char* kSnapshotSuffix = "view";
inline constexpr const char* kSnapshotInitialName = "*.view";
inline constexpr const char* kPictureFilter = "Windows Bitmap Files (*.bmp)";
inline constexpr const char* kPictureSuffix = "bmp";
inline constexpr const char* kPictureInitialName = "tovra.bmp";

inline constexpr const char* kDataDialogTitle = "データ設定ダイアログ";
inline constexpr const char* kKindNames[] = {"枝", "葉", "花", "種"};  // edges, leaves, flowers, individuals
inline constexpr const char* kKindLabel = "種類";
inline constexpr const char* kCountLabel = "個数";

// The dialog's range messages; %1 and %2 stand for the bounds.
inline constexpr const char* kEnterNumber = "数値を入力してください。";
inline constexpr const char* kEnterWhole = "整数を入力してください。";
inline constexpr const char* kNumberRange = "%1 から %2 までの数値を入力してください。";
inline constexpr const char* kWholeRange = "%1 から %2 までの整数を入力してください。";

}  // namespace viewer::text
