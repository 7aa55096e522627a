// Checks the resources compiled into VellumBox.exe, read back from the built
// file with the language named explicitly, so a missing or mistranslated
// resource cannot hide behind the loader's language fallback.
// VB_EXE names the executable; without it, VellumBox.exe beside this test.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

std::wstring Wide(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) {
        ADD_FAILURE() << "bad UTF-8 in expectation: " << utf8;
        return std::wstring();
    }
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string ExePath() {
    char buf[MAX_PATH * 2] = {};
    DWORD n = GetEnvironmentVariableA("VB_EXE", buf, sizeof buf);
    if (n > 0 && n < sizeof buf) return buf;
    n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string self(buf, n < sizeof buf ? n : 0);
    size_t slash = self.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) +
           "VellumBox.exe";
}

struct Blob {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// Bounds-checked little-endian reader over one resource.
class Reader {
public:
    explicit Reader(Blob b) : data_(b.data), size_(b.size) {}
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    void Seek(size_t p) {
        if (p > size_)
            ok_ = false;
        else
            pos_ = p;
    }
    void AlignDword() { Seek((pos_ + 3) & ~size_t(3)); }
    BYTE Byte() { return static_cast<BYTE>(Raw(1)); }
    WORD Word() { return static_cast<WORD>(Raw(2)); }
    DWORD Dword() { return static_cast<DWORD>(Raw(4)); }
    short Short() { return static_cast<short>(Word()); }
    // Zero-terminated UTF-16 text.
    std::wstring Sz() {
        std::wstring s;
        for (WORD c = Word(); ok_ && c != 0; c = Word()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    const BYTE* Here() const { return data_ + pos_; }

private:
    uint32_t Raw(size_t n) {
        if (!ok_ || pos_ + n > size_) {
            ok_ = false;
            return 0;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i) v |= uint32_t(data_[pos_ + i]) << (8 * i);
        pos_ += n;
        return v;
    }
    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// Menu, class or text field of a template: absent, an ordinal, or a string.
struct SzOrOrd {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring text;
};

SzOrOrd ReadSzOrOrd(Reader& r) {
    SzOrOrd v;
    WORD first = r.Word();
    if (first == 0xFFFF) {
        v.isOrdinal = true;
        v.ordinal = r.Word();
    } else if (first != 0) {
        v.text.push_back(static_cast<wchar_t>(first));
        v.text += r.Sz();
    }
    return v;
}

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = ExePath();
        module_ = LoadLibraryExA(path_.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load " << path_ << " error " << GetLastError();
    }

    static Blob Find(LPCSTR type, WORD id, WORD lang) {
        Blob b;
        HRSRC res = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), lang);
        if (!res) return b;
        HGLOBAL g = LoadResource(module_, res);
        b.data = static_cast<const BYTE*>(LockResource(g));
        b.size = b.data ? SizeofResource(module_, res) : 0;
        return b;
    }

    static std::string path_;
    static HMODULE module_;
};
std::string ResourcesTest::path_;
HMODULE ResourcesTest::module_ = nullptr;

// ---------------------------------------------------------------- strings

struct StringCase {
    UINT id;
    const char* english;
    const char* japanese;
};

const StringCase kStrings[] = {
    {IDS_ABOUTBOX, "&About VellumBox...", "VellumBox のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {IDS_TICK_ON, "ON", "する"},
    {IDS_TICK_OFF, "---", "---"},
    {IDS_DELETE_QUESTION, "Delete from list ?", "削除しますか？"},
    {IDS_COL_PATH, "File Path", "ファイルパス"},
    {IDS_COL_COPY, "Copy", "コピー"},
    {IDS_COL_RESTORE, "Restore", "リストア"},
    {IDS_BROWSE_TITLE, "Select Destination Directory(Folder)",
     "コピー先ディレクトリ(フォルダ)を選択してください"},
    {IDS_COPY_PROGRESS, "Copying by Vellumbox...", "VellumBoxによるコピー中..."},
    {IDS_RESTORE_PROGRESS, "Restoring by VellumBox...", "VellumBoxによるリストア中..."},
    {IDS_HIDE_WINDOW, "Hide Window", "ウィンドウを隠す"},
    {IDS_REGISTER_STARTUP, "Register in Start-up...", "スタートアップに登録..."},
    {IDS_SAVE_FAILED,
     "The settings could not be saved to this file. It or its folder may be read-only (for all "
     "users, start VellumBox with \"Run as administrator\"), or the disk may be full.\nSet "
     "stays enabled, so you can press it again:",
     "設定を次のファイルに保存できませんでした。\nファイルかそのフォルダが読み取り専用か、ディス"
     "クがいっぱいかもしれません。\nすべてのユーザー用のときは、\n「管理者として実行」で起動して"
     "ください。\n「確定」はもう一度押せます:"},
    {IDS_NAME_CLASH,
     "These files were left out, because a file of the same name comes earlier in the list:",
     "同じ名前のファイルがリストの前にあるため、次のファイルは除外されました:"},
    {IDS_NOT_FOUND, "Left out, because the file was not found:",
     "ファイルが見つからないため、除外しました:"},
    {IDS_COPY_NOT_FOUND,
     "Left out, because its copy was not found in the destination folder; the file itself is "
     "unchanged:",
     "コピー先フォルダにコピーが見つからないため、除外しました。\nファイルそのものはそのままです:"},
    {IDS_COPY_INCOMPLETE,
     "These files could not be copied completely (is the disk full?). Their incomplete copies "
     "were removed:",
     "次のファイルは完全にはコピーできませんでした(ディスクの空き不足など)"
     "。不完全なコピーは削除しました:"},
    {IDS_RESTORE_INCOMPLETE,
     "These files could not be restored completely (is the disk full?). Their copies in the "
     "destination folder are intact; do not press Copy before a Restore has completed:",
     "次のファイルは完全にはリストアできませんでした(ディスクの空き不足など)"
     "。コピー先フォルダのコピーは無事です。リストアが完了するまでコピーを押さないでください:"},
    {IDS_STATE_NAME,
     "These files were left out, because VellumBox keeps its own record under that name in the "
     "destination folder:",
     "次のファイルは、コピー先フォルダで VellumBox が自分の記録に使う名前のため、除外されました:"},
    {IDS_INTERRUPTED_COPY,
     "A Copy into this folder was interrupted earlier, so its copies may be "
     "incomplete:\n\nPress Copy to copy the files again. Until a Copy has completed, no "
     "automatic Restore runs.",
     "次のフォルダへのコピーが以前に中断されたため、コピーが不完全な可能性があります:\n\n「コピ"
     "ー」で、コピーし直してください。\nコピーが済むまで、自動のリストアはしません。"},
    {IDS_INTERRUPTED_RESTORE,
     "A Restore from this folder was interrupted earlier, so the restored files may be "
     "incomplete; the copies in this folder are intact:\n\nPress Restore to put the files back "
     "again. Until a Restore has completed, no automatic Copy runs; do not press Copy first, or "
     "the incomplete files would replace the good copies.",
     "次のフォルダからのリストアが以前に中断されたため、リストアしたファイルが不完全な可能性があ"
     "ります。フォルダのコピーは無事です:\n\n「リストア」で、リストアし直してください。\nリスト"
     "アが済むまで、自動のコピーはしません。\n先に「コピー」を押すと、無事なコピーを不完全なファ"
     "イルで上書きしてしまいます。"},
    {IDS_INTERRUPTED_UNKNOWN,
     "VellumBox's record in this folder cannot be read or replaced (another program may hold it "
     "open, or it is damaged), so an operation may have been interrupted:\n\nClose any program "
     "that uses the record and start VellumBox again. If this message comes back, make sure "
     "your files and their copies are as you want them, then press Copy or Restore and answer "
     "Yes: the record is written anew. Until then, neither runs by itself. Do not delete the "
     "record by hand.",
     "次のフォルダの VellumBox の記録を読めないか置き換えられない(ほかのプログラムが開いているか"
     "、壊れている)ため、操作が中断された可能性があります:\n\n記録を使っているプログラムを閉じて"
     "、VellumBox を起動し直してください。それでもこのメッセージが出るときは、ファイルとそのコピ"
     "ーが望みどおりか確かめてから「コピー」か「リストア」を押し、「はい」と答えてください。記録"
     "が新しく書かれます。それまでは、どちらも自動では行いません。記録を手で削除しないでください"
     "。"},
    {IDS_ASK_COPY_ANYWAY,
     "Copy all the same? The copies in this folder would be replaced by the files as they are now.",
     "それでもコピーしますか？このフォルダのコピーは、現在のファイルで置き換えられます。"},
    {IDS_ASK_RESTORE_ANYWAY,
     "Restore all the same? Your files would be replaced by the copies as they are now.",
     "それでもリストアしますか？ファイルは、現在のコピーで置き換えられます。"},
    {IDS_RUN_START_COPY,
     "Result of the copy at start:",
     "起動時のコピーの結果:"},
    {IDS_RUN_QUIET_COPY,
     "Result of the copy in quiet mode (/q):",
     "クワイエットモード(/q)のコピーの結果:"},
    {IDS_RUN_SESSION_RESTORE,
     "Result of the restore at the end of the session:",
     "セッション終了時のリストアの結果:"},
    {IDS_RECORD_BUSY,
     "Another copy or restore is using this folder right now (perhaps in another user's session), so nothing was done. Try again when it has finished:",
     "別のコピーかリストアがこのフォルダを使用中のため(ほかのユーザーのセッションかもしれません)、何もしませんでした。終わってからもう一度お試しください:"},
    {IDS_RESTORE_DUE,
     "A session that copied into this folder has not had its files restored yet (the computer was switched off, a restore was declined or could not finish, or another user's session is still running). Until a restore at the end of a session has put the files back, no automatic Copy takes them:",
     "このフォルダにコピーしたセッションの\nファイルが、まだリストアされていません\n(電源が切れた、リストアが断られたか\n完了しなかった、ほかのユーザーの\nセッションが続いている、など)。\nセッション終了時のリストアが\nファイルを戻すまで、自動のコピーは\nそれらのファイルをコピーしません:"},
    {IDS_NOT_COPIED,
     "These files were not copied (the copy was declined or cancelled, the file is in use or cannot be read, or something of the same name is in the way):",
     "次のファイルはコピーされませんでした(上書きを断った、取り消した、ファイルが使用中か読めない、同じ名前のものが邪魔をしている、など):"},
    {IDS_NOT_RESTORED,
     "These files were not restored (the restore was declined or cancelled, or the file is in use or cannot be written). Their copies in the destination folder are unchanged:",
     "次のファイルはリストアされませんでした(上書きを断った、取り消した、ファイルが使用中か書き込めない、など)。コピー先フォルダのコピーはそのままです:"},
    {IDS_COPY_OF_OTHER,
     "These files were not restored, because the copy of that name in the destination folder was made from another file:",
     "コピー先フォルダにある同じ名前のコピーは別のファイルから作られたため、次のファイルはリストアしませんでした:"},
    {IDS_COPY_CHANGED,
     "These files were not restored, because their copies in the destination folder were "
     "changed after VellumBox made them (by whom, it cannot tell):",
     "コピー先フォルダのコピーが VellumBox の作成後に変更されたため(変更した人は不明)、\n次のフ"
     "ァイルはリストアしませんでした:"},
    {IDS_SESSION_NO_DEST,
     "Nothing was restored at the end of the session, because no destination folder was chosen (the folder choice was cancelled). The files copied into this folder still wait for their restore:",
     "コピー先フォルダが選ばれていなかった(フォルダの選択が取り消された)ため、セッション終了時に何もリストアしませんでした。このフォルダにコピーしたファイルは、まだリストアを待っています:"},
    {IDS_RUN_SEVERAL,
     "Results of the automatic runs:",
     "自動の実行の結果:"},
    {IDS_NOT_COPIED_UNSEEN,
     "These files were not copied, because their copies already exist, Over Write is off, and VellumBox ran where nobody could be asked (a task that runs whether the user is logged on or not):",
     "次のファイルはコピーしませんでした。コピーがすでにあり、上書きがオフで、VellumBox がだれにも確認できない場所 (ユーザーがログオンしているかどうかにかかわらず実行するタスク) で実行されたためです:"},
    {IDS_ASK_RESTORE_EDITED,
     "The copies of these files in the destination folder were changed after VellumBox made them (edited, perhaps by you):\n\nRestore them all the same? Your files would be replaced by the changed copies. Answer No to leave these files and their copies as they are.",
     "次のファイルのコピーは、\nVellumBox が作った後に変更されています\n(あなたが編集した、など):\n\nそれでもリストアしますか？\nファイルは、変更されたコピーで\n置き換えられます。「いいえ」では、\nファイルもコピーもそのままです。"},
    {IDS_OWED_NOT_COPIED,
     "These files were not copied, because their restore is still owed: the restore at the end of an earlier session left them out, or that session never ended. Their copies in the destination folder keep the state that comes back; the files are copied again once a restore at the end of a session has put them back:",
     "次のファイルはコピーしませんでした。\nまだリストアを待っているためです\n(以前のセッション終了時のリストアで\n除外された、またはセッションが\n終了しなかった)。\nコピー先フォルダのコピーは、\n戻すべき状態のままです。\nセッション終了時のリストアが戻した後は、\nまたコピーされます:"},
    {IDS_SAVED_AFTER_RESTORE,
     "These files were not copied, because they changed after the restore at the end of the last session had put them back (a program may have saved them while Windows was closing). Their copies in the destination folder are unchanged, and the next restore at the end of a session puts them back:",
     "次のファイルはコピーしませんでした。\n前回のセッション終了時のリストアで\n戻した後に変更されたためです\n(Windows の終了中にプログラムが\n保存した、など)。\nコピー先フォルダのコピーはそのままで、\n次のセッション終了時のリストアで\n戻されます:"},
    {IDS_AUTO_OPEN_SETTINGS,
     "Other users of this computer can change VellumBox's settings file or its folder:\n\nThey "
     "could decide what VellumBox copies and restores for you. Put VellumBox in a folder that "
     "only administrators can change,\nfor example under \"C:\\Program Files\".",
     "コンピューターのほかのユーザーが変更できる\nVellumBox の設定ファイルかそのフォルダ:\n\nそ"
     "のユーザーは、VellumBox があなたのために何をコピーしリストアするかを決められます。管理者だ"
     "けが変更できるフォルダに VellumBox を置いてください。\n(たとえば \"C:\\Program Files\" の"
     "下)"},
    {IDS_AUTO_OPEN_DEST,
     "Other users of this computer can change the destination folder:\n\nThey could change the "
     "copies that are restored over your files. Choose a destination folder that only you can "
     "change, and press Set.",
     "コンピューターのほかのユーザーが変更できる\nコピー先フォルダ:\n\nそのユーザーは、あなたの"
     "ファイルに上書きでリストアされるコピーを変えられます。あなただけが変更できるコピー先フォル"
     "ダを選び、「確定」を押してください。"},
    {IDS_RESTORING_REASON,
     "Restoring your files. A question or a problem report from VellumBox may be waiting behind this screen: press Cancel to see it, answer it, then shut down again.",
     "ファイルをリストアしています。VellumBox の質問や問題の報告がこの画面の後ろで待っているかもしれません。「キャンセル」を押すと表示されます。答えてから、もう一度シャットダウンしてください。"},
    {IDS_RECORD_REASON, "VellumBox is saving its record in the destination folder...", "VellumBox がコピー先フォルダの記録を保存しています..."},
    {IDS_NOT_SETTLED,
     "These files were written, but Windows could not confirm that they are on the disk (the file could not be opened again, or its folder went away). VellumBox counts them as unfinished until the same operation has completed for them:",
     "次のファイルは書き込みましたが、ディスクに書き込まれたことを Windows で確かめられませんでした(ファイルを開き直せない、フォルダがなくなったなど)。同じ操作がそのファイルについて完了するまで、VellumBox は未完了として扱います:"},
    {IDS_CUT_COPY_KEPT,
     "These files could not be copied completely (is the disk full?), and their incomplete copies could not be removed (they are read-only, or the folder went away). VellumBox restores none of them until a Copy of them has completed:",
     "次のファイルは完全にはコピーできませんでした(ディスクの空き不足など)。不完全なコピーを削除することもできませんでした(読み取り専用か、フォルダがなくなったなど)。そのファイルのコピーが完了するまで、VellumBox はそれをリストアしません:"},
    {IDS_RECORD_NOT_UPDATED,
     "VellumBox could not update its record in this folder (another program kept it open), so the record still counts this operation as unfinished:\n\nWhen that program has let go of it, do the same Copy or Restore again.",
     "ほかのプログラムが開いていたため、次のフォルダの VellumBox の記録を更新できませんでした。記録ではこの操作は未完了のままです:\n\nそのプログラムが記録を閉じたら、同じコピーまたはリストアをもう一度行ってください。"},
    {IDS_BAD_NAME,
     "These files were left out, because Windows cannot use their names as they stand (a wildcard, "
     "a stream, a device name, or only dots and spaces):",
     "次のファイルは、名前をWindowsがそのまま使えないため("
     "ワイルドカード、ストリーム、デバイス名、点と空白だけの名前)、除外されました:"},
    {IDS_RELATIVE_PATH,
     "These files were left out, because their paths do not start at a drive or a network share:",
     "次のファイルは、パスがドライブまたはネットワーク共有から始まっていないため、除外されました:"},
    {IDS_RELATIVE_DEST,
     "Nothing was copied or restored, because the destination folder does not start at a drive or "
     "a network share:",
     "コピー先フォルダがドライブまたはネットワーク共有から始まっていないため、コピーもリストアもし"
     "ませんでした:"},
    {IDS_NAME_NOT_KEPT,
     "Not added, because the name holds characters that Windows cannot keep in its language for "
     "non-Unicode programs, or the path is too long.\nRename the file, or move it to a folder "
     "with a shorter path, then add it again:",
     "名前に Windows の「Unicode 対応ではないプログラムの言語」で表せない文字があるか、パスが長"
     "すぎるため、追加しませんでした。\nファイルの名前を変えるか、パスの短いフォルダに移してから"
     "、もう一度追加してください:"},
    {IDS_CHANGED_WHILE_COPIED,
     "These files changed while they were copied. Their copies were kept, but may not match the "
     "files as they are now:",
     "次のファイルはコピー中に変更されました。コピーは残しましたが、現在のファイルと一致しない可能"
     "性があります:"},
    {IDS_OWN_FOLDER,
     "These files were left out, because they lie in the destination folder itself:",
     "次のファイルは、コピー先フォルダそのものにあるため、除外されました:"},
    {IDS_PATH_TOO_LONG,
     "These files were left out, because their paths in the settings file are longer than 259 "
     "bytes (the list shows them cut):",
     "次のファイルは、設定ファイルのパスが259バイトより長いため、除外されました("
     "リストには途中までを表示しています):"},
    {IDS_STARTUP_NEEDS_ADMIN,
     "Registering VellumBox in the start-up for all users needs administrator rights. Start "
     "VellumBox with \"Run as administrator\" and try again.",
     "すべてのユーザーのスタートアップに登録するには管理者の権限が必要です。VellumBox "
     "を「管理者として実行」で起動してから、もう一度お試しください。"},
    {IDS_STARTUP_FOLDER_OPEN, "Other users of this computer can change this place:",
     "このコンピューターのほかのユーザーが次の場所を変更できます:"},
    {IDS_STARTUP_FOLDER_ADVICE,
     "Any of them could then make VellumBox overwrite the files of everyone who logs on. Put "
     "VellumBox in a folder that only administrators can change (for example under "
     "\"C:\\Program Files\").\n\nRegister it all the same?",
     "そのユーザーはだれでも、ログオンするすべての人のファイルを VellumBox に上書きさせることが"
     "できます。管理者だけが変更できるフォルダ (たとえば \"C:\\Program Files\" の下) に "
     "VellumBox を置いてください。\n\nそれでも登録しますか？"},
    {IDS_DROP_FOLDERS,
     "These were not added, because they are folders:",
     "次のフォルダは追加しませんでした:"},
    {IDS_DROP_LIST_FULL, "The list holds 32 files at most. These files were not added:",
     "リストには 32 個までのファイルしか入りません。次のファイルは追加しませんでした:"},
    {IDS_MENU_COPY, "&Copy", "コピー(&C)"},
    {IDS_MENU_RESTORE, "&Restore", "リストア(&R)"},
    {IDS_MENU_DELETE, "&Delete from list...", "リストから削除(&D)..."},
    {IDS_DEST_NOT_KEPT,
     "This folder was not chosen, because its name holds characters that Windows cannot keep in "
     "its language for non-Unicode programs, or its path is too long.\nChoose another folder, "
     "or rename this one:",
     "名前に Windows の「Unicode 対応ではないプログラムの言語」で表せない文字があるか、パスが長"
     "すぎるため、フォルダは選びませんでした。\n別のフォルダを選ぶか、このフォルダの名前を変えて"
     "ください:"},
    {IDS_PROGRAM_PATH_UNNAMED,
     "VellumBox cannot write its own path in this computer's code page for non-Unicode "
     "programs, so it neither reads nor saves a settings file. Give its folder and its file "
     "names that use only characters of that code page:",
     "VellumBox は自分のパスをこのコンピューターの非 Unicode プログラム用の文字コードで表せない"
     "ため、設定ファイルを読み込みも保存もしません。フォルダとファイルの名前には、その文字コード"
     "の文字だけを使ってください:"},
    {IDS_SYSTEM_VIEW,
     "These files were left out, because this 32-bit VellumBox is shown another folder in their place (the 32-bit view of the Windows system folder). Use the 64-bit VellumBox for them:",
     "次のファイルは、この 32 ビット版の VellumBox には別のフォルダ (Windows のシステムフォルダの 32 ビット用の表示) が見えるため、除外されました。これらのファイルには 64 ビット版の VellumBox を使ってください:"},
    {IDS_JOINED_TOO_LONG,
     "These files were left out, because the destination folder followed by their names is "
     "longer than 259 bytes:",
     "次のファイルは、コピー先フォルダとファイル名を合わせたパスが259バイトより長いため、"
     "除外されました:"},
    {IDS_STARTUP_CLEAR_NEEDS_ADMIN,
     "Removing VellumBox from the start-up for all users needs administrator rights. Start "
     "VellumBox with \"Run as administrator\" and try again.",
     "すべてのユーザーのスタートアップから登録を解除するには管理者の権限が必要です。VellumBox を"
     "「管理者として実行」で起動してから、もう一度お試しください。"},
};

// Strings live in blocks of 16, block n holding ids 16(n-1) .. 16n-1, each a
// length-prefixed UTF-16 run. Returns false if the block or entry is missing.
bool StringFromBlock(Blob block, UINT id, std::wstring* out) {
    Reader r(block);
    for (UINT i = 0; i <= id % 16; ++i) {
        WORD len = r.Word();
        out->clear();
        for (WORD k = 0; k < len; ++k) out->push_back(static_cast<wchar_t>(r.Word()));
        if (!r.ok()) return false;
    }
    return true;
}

TEST_F(ResourcesTest, EveryStringIsPresentInBothLanguages) {
    for (WORD lang : {kEnglish, kJapanese}) {
        for (const StringCase& c : kStrings) {
            SCOPED_TRACE(testing::Message()
                         << "string " << c.id << " language 0x" << std::hex << lang);
            Blob block = Find(RT_STRING, static_cast<WORD>(c.id / 16 + 1), lang);
            ASSERT_NE(block.data, nullptr);
            std::wstring got;
            ASSERT_TRUE(StringFromBlock(block, c.id, &got));
            EXPECT_EQ(got, Wide(lang == kEnglish ? c.english : c.japanese));
        }
    }
}

// The table holds nothing else of ours: no application title and no stray
// entries around the used range, in either language.
TEST_F(ResourcesTest, StringTableHoldsOnlyTheKnownIds) {
    std::set<UINT> known;
    for (const StringCase& c : kStrings) known.insert(c.id);
    for (WORD lang : {kEnglish, kJapanese}) {
        for (WORD blockId = 1; blockId <= 64; ++blockId) {
            Blob block = Find(RT_STRING, blockId, lang);
            if (!block.data) continue;
            for (UINT id = (blockId - 1) * 16u; id < blockId * 16u; ++id) {
                std::wstring s;
                ASSERT_TRUE(StringFromBlock(block, id, &s)) << "block " << blockId;
                EXPECT_EQ(!s.empty(), known.count(id) == 1)
                    << "string " << id << " language 0x" << std::hex << lang;
            }
        }
    }
}

// ---------------------------------------------------------------- dialogs

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kNamed = 0;

struct Ctl {
    int id;
    WORD classAtom;    // kNamed: the class is the list view's name
    const char* text;  // nullptr: the text is icon ordinal IDR_MAINFRAME
    DWORD style;
    short x, y, cx, cy;
};

struct DialogCase {
    WORD id;
    WORD lang;
    bool extended;
    DWORD style;
    DWORD exStyle;
    const char* title;
    short cx, cy;
    WORD pointSize;
    const char* face;
    std::vector<Ctl> controls;
};

const char kTahoma[] = "Tahoma";
const char kGothic[] = "ＭＳ Ｐゴシック";
constexpr DWORD kPopupDialog = 0x80C800C0;
constexpr DWORD kMainDialog = 0x80CA00C0;

const std::vector<DialogCase>& DialogCases() {
    static const std::vector<DialogCase> cases = {
        {IDD_ABOUTBOX,
         kEnglish,
         false,
         kPopupDialog,
         0,
         "About VellumBox",
         212,
         50,
         8,
         kTahoma,
         {
             {-1, kStatic, nullptr, 0x50000003, 5, 15, 20, 20},
             {IDC_INTERNAL_NAME, kStatic, "", 0x50020280, 35, 5, 45, 10},
             {IDC_COPYRIGHT, kStatic, "", 0x50020280, 35, 15, 95, 10},
             {IDOK, kButton, "OK", 0x50030001, 180, 5, 30, 40},
             {IDC_VERSION, kStatic, "", 0x50020280, 90, 5, 55, 10},
             {IDC_COMPANY, kStatic, "", 0x50020280, 35, 25, 135, 10},
             {-1, kStatic, "Freeware", 0x50020280, 35, 35, 95, 10},
         }},
        {IDD_ABOUTBOX,
         kJapanese,
         false,
         kPopupDialog,
         0,
         "VellumBoxのﾊﾞｰｼﾞｮﾝ情報",
         169,
         65,
         9,
         kGothic,
         {
             {-1, kStatic, nullptr, 0x50000003, 5, 20, 20, 20},
             {IDC_INTERNAL_NAME, kStatic, "", 0x50020280, 30, 5, 40, 10},
             {IDC_COPYRIGHT, kStatic, "", 0x50020280, 30, 20, 95, 10},
             {IDOK, kButton, "OK", 0x50030001, 135, 5, 30, 50},
             {IDC_VERSION, kStatic, "", 0x50020280, 75, 5, 45, 10},
             {IDC_COMPANY, kStatic, "", 0x50020280, 30, 35, 95, 10},
             {-1, kStatic, "フリーソフトウェアです", 0x50020280, 30, 50, 95, 10},
         }},
        {IDD_VELLUMBOX_DIALOG,
         kEnglish,
         true,
         kMainDialog,
         WS_EX_APPWINDOW,
         "VellumBox",
         292,
         186,
         8,
         kTahoma,
         {
             {IDC_ABOUT, kButton, "About", 0x50010041, 255, 5, 30, 30},
             {IDC_SELECT_DEST, kButton, "Select", 0x50010000, 10, 15, 30, 15},
             {IDC_SELECT_FILE, kButton, "Select", 0x50010000, 10, 50, 30, 15},
             {IDC_FILE_LIST, kNamed, "List1", 0x50810005, 10, 70, 270, 85},
             {IDC_AUTO_COPY, kButton, "Auto Copy", 0x50010006, 5, 165, 50, 15},
             {IDC_OVERWRITE, kButton, "Over Write", 0x50010003, 65, 165, 50, 15},
             {IDC_COPY, kButton, "Copy", 0x50010000, 135, 165, 40, 15},
             {IDC_RESTORE, kButton, "Restore", 0x50010000, 185, 165, 40, 15},
             {IDC_SET, kButton, "Set", 0x50010000, 245, 165, 40, 15},
             {IDCANCEL, kButton, "?????", 0x40000000, 0, 5, 6, 6},
             {-1, kButton, "Select Destination Directory(Folder)", 0x50000007, 5, 5, 240, 30},
             {IDC_DEST_DIR, kEdit, "", 0x50800880, 45, 15, 195, 15},
             {-1, kButton, "Select File", 0x50000007, 5, 40, 280, 120},
             {IDOK, kButton, "OK", 0x40000000, 0, 0, 6, 6},
         }},
        {IDD_VELLUMBOX_DIALOG,
         kJapanese,
         true,
         kMainDialog,
         WS_EX_APPWINDOW,
         "VellumBox",
         249,
         185,
         9,
         kGothic,
         {
             {IDC_ABOUT, kButton, "About", 0x50010041, 220, 5, 25, 30},
             {IDC_SELECT_DEST, kButton, "選択", 0x50010000, 10, 15, 30, 15},
             {IDC_SELECT_FILE, kButton, "選択", 0x50010000, 10, 50, 30, 15},
             {IDC_FILE_LIST, kNamed, "List1", 0x50810005, 10, 70, 230, 85},
             {IDC_AUTO_COPY, kButton, "自動コピー", 0x50010006, 5, 165, 45, 15},
             {IDC_OVERWRITE, kButton, "上書き", 0x50010003, 55, 165, 35, 15},
             {IDC_COPY, kButton, "コピー", 0x50010000, 100, 165, 40, 15},
             {IDC_RESTORE, kButton, "リストア", 0x50010000, 150, 165, 40, 15},
             {IDC_SET, kButton, "確定", 0x50010000, 205, 165, 40, 15},
             {IDCANCEL, kButton, "ｷｬﾝｾﾙ", 0x40000000, 0, 5, 6, 6},
             {-1, kButton, "コピー先ディレクトリ(フォルダ)選択", 0x50000007, 5, 5, 210, 30},
             {IDC_DEST_DIR, kEdit, "", 0x50800880, 45, 15, 165, 15},
             {-1, kButton, "ファイル選択", 0x50000007, 5, 40, 240, 120},
             {IDOK, kButton, "OK", 0x40000000, 0, 0, 6, 6},
         }},
        {IDD_STARTUP,
         kEnglish,
         false,
         kPopupDialog,
         0,
         "Register in Start-up",
         143,
         29,
         8,
         kTahoma,
         {
             {IDOK, kButton, "Close", 0x50010001, 100, 5, 40, 20},
             {IDC_STARTUP_SET, kButton, "Set", 0x50010000, 5, 5, 35, 20},
             {IDC_STARTUP_CLEAR, kButton, "Clear", 0x50010000, 50, 5, 35, 20},
             {IDCANCEL, kButton, "?????", 0x40010000, 0, 0, 6, 6},
         }},
        {IDD_STARTUP,
         kJapanese,
         false,
         kPopupDialog,
         0,
         "スタートアップに登録",
         143,
         29,
         9,
         kGothic,
         {
             {IDOK, kButton, "閉じる", 0x50010001, 100, 5, 40, 20},
             {IDC_STARTUP_SET, kButton, "登録", 0x50010000, 5, 5, 35, 20},
             {IDC_STARTUP_CLEAR, kButton, "解除", 0x50010000, 50, 5, 35, 20},
             {IDCANCEL, kButton, "ｷｬﾝｾﾙ", 0x40000000, 0, 0, 6, 6},
         }},
    };
    return cases;
}

std::string Describe(const DialogCase& d) {
    return "dialog " + std::to_string(d.id) + (d.lang == kEnglish ? " English" : " Japanese");
}

// A dialog template as it stands in the file, classic or extended.
struct Template {
    bool ok = false, extended = false;
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    SzOrOrd menu, cls;
    std::wstring title, face;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = DEFAULT_CHARSET;
    struct Control {
        DWORD helpId, exStyle, style;
        short x, y, cx, cy;
        int id;
        SzOrOrd cls, text;
        WORD extra;
    };
    std::vector<Control> controls;
};

// The help id, extended style and style, in the order of the template's kind.
void ReadStyles(Reader& r, bool extended, DWORD& helpId, DWORD& exStyle, DWORD& style) {
    if (extended) helpId = r.Dword();
    if (extended) exStyle = r.Dword();
    style = r.Dword();
    if (!extended) exStyle = r.Dword();
}

Template ReadTemplate(Blob b) {
    Template t;
    Reader r(b);
    t.extended = b.size >= 4 && b.data[0] == 1 && b.data[1] == 0 && b.data[2] == 0xFF &&
                 b.data[3] == 0xFF;
    if (t.extended) r.Dword();  // version and signature
    ReadStyles(r, t.extended, t.helpId, t.exStyle, t.style);
    WORD count = r.Word();
    t.x = r.Short(), t.y = r.Short(), t.cx = r.Short(), t.cy = r.Short();
    t.menu = ReadSzOrOrd(r);
    t.cls = ReadSzOrOrd(r);
    t.title = r.Sz();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        if (t.extended) t.weight = r.Word(), t.italic = r.Byte(), t.charset = r.Byte();
        t.face = r.Sz();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        Template::Control c = {};
        r.AlignDword();
        ReadStyles(r, t.extended, c.helpId, c.exStyle, c.style);
        c.x = r.Short(), c.y = r.Short(), c.cx = r.Short(), c.cy = r.Short();
        c.id = t.extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
        c.cls = ReadSzOrOrd(r);
        c.text = ReadSzOrOrd(r);
        c.extra = r.Word();
        r.Seek(r.pos() + c.extra);
        t.controls.push_back(c);
    }
    t.ok = r.ok() && t.controls.size() == count;
    return t;
}

void CheckControl(const Template::Control& got, const Ctl& want) {
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.helpId, 0u);
    EXPECT_EQ(got.exStyle, 0u);
    EXPECT_EQ(got.style, want.style) << std::hex << "got 0x" << got.style << " want 0x" << want.style;
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.extra, 0);
    if (want.classAtom == kNamed) {
        // windres upper-cases class names it writes; window class lookup
        // ignores case, so only the letters matter.
        EXPECT_FALSE(got.cls.isOrdinal);
        EXPECT_EQ(CompareStringOrdinal(got.cls.text.c_str(), -1, L"SysListView32", -1, TRUE),
                  CSTR_EQUAL)
            << "class name differs";
    } else {
        EXPECT_TRUE(got.cls.isOrdinal);
        EXPECT_EQ(got.cls.ordinal, want.classAtom);
    }
    if (want.text == nullptr) {
        EXPECT_TRUE(got.text.isOrdinal);
        EXPECT_EQ(got.text.ordinal, IDR_MAINFRAME);
    } else {
        EXPECT_FALSE(got.text.isOrdinal);
        EXPECT_EQ(got.text.text, Wide(want.text));
    }
}

TEST_F(ResourcesTest, DialogTemplatesMatchTheirLayouts) {
    for (const DialogCase& d : DialogCases()) {
        SCOPED_TRACE(Describe(d));
        Blob b = Find(RT_DIALOG, d.id, d.lang);
        ASSERT_NE(b.data, nullptr) << "missing";
        Template t = ReadTemplate(b);
        ASSERT_TRUE(t.ok) << "the template ends early";
        EXPECT_EQ(t.extended, d.extended);
        EXPECT_EQ(t.style, d.style) << std::hex << "got 0x" << t.style;
        EXPECT_EQ(t.exStyle, d.exStyle);
        EXPECT_EQ(t.helpId, 0u);
        EXPECT_EQ(t.x, 0);
        EXPECT_EQ(t.y, 0);
        EXPECT_EQ(t.cx, d.cx);
        EXPECT_EQ(t.cy, d.cy);
        EXPECT_TRUE(!t.menu.isOrdinal && t.menu.text.empty()) << "no menu";
        EXPECT_TRUE(!t.cls.isOrdinal && t.cls.text.empty()) << "standard dialog class";
        EXPECT_EQ(t.title, Wide(d.title));
        EXPECT_TRUE(t.style & DS_SETFONT);
        EXPECT_EQ(t.pointSize, d.pointSize);
        EXPECT_EQ(t.weight, 0);
        EXPECT_EQ(t.italic, 0);
        EXPECT_EQ(t.charset, DEFAULT_CHARSET);
        EXPECT_EQ(t.face, Wide(d.face));
        ASSERT_EQ(t.controls.size(), d.controls.size());
        for (size_t i = 0; i < d.controls.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "control #" << i << " id " << d.controls[i].id);
            CheckControl(t.controls[i], d.controls[i]);
        }
    }
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR p) {
    reinterpret_cast<std::vector<WORD>*>(p)->push_back(
        static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Every dialog in the file has both languages, which differ in texts and positions only.
TEST_F(ResourcesTest, LanguagesShareIdsClassesAndStyles) {
    std::vector<WORD> ids;
    EnumResourceNamesA(module_, RT_DIALOG, AddName, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_FALSE(ids.empty());
    for (WORD id : ids) {
        SCOPED_TRACE(testing::Message() << "dialog " << id);
        Template en = ReadTemplate(Find(RT_DIALOG, id, kEnglish));
        Template ja = ReadTemplate(Find(RT_DIALOG, id, kJapanese));
        ASSERT_TRUE(en.ok && ja.ok) << "missing in a language";
        EXPECT_EQ(en.extended, ja.extended);
        EXPECT_EQ(en.style, ja.style);
        EXPECT_EQ(en.exStyle, ja.exStyle);
        ASSERT_EQ(en.controls.size(), ja.controls.size());
        for (size_t i = 0; i < en.controls.size(); ++i) {
            const Template::Control& a = en.controls[i];
            const Template::Control& b = ja.controls[i];
            EXPECT_EQ(a.id, b.id) << " #" << i;
            EXPECT_EQ(a.cls.isOrdinal, b.cls.isOrdinal) << " #" << i;
            EXPECT_EQ(a.cls.ordinal, b.cls.ordinal) << " #" << i;
            EXPECT_EQ(a.cls.text, b.cls.text) << " #" << i;
            bool hiddenStartupCancel = id == IDD_STARTUP && a.id == IDCANCEL;
            if (!hiddenStartupCancel) {
                EXPECT_EQ(a.style, b.style) << " #" << i;
            }
        }
    }
}

// ---------------------------------------------------------------- languages

using LanguageMap = std::map<std::string, std::set<WORD>>;  // "type/name" -> languages

std::string ResName(LPCSTR s) {
    return IS_INTRESOURCE(s) ? std::to_string(reinterpret_cast<ULONG_PTR>(s)) : std::string(s);
}

BOOL CALLBACK OnLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD lang, LONG_PTR p) {
    (*reinterpret_cast<LanguageMap*>(p))[ResName(type) + "/" + ResName(name)].insert(lang);
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR p) {
    EnumResourceLanguagesA(m, type, name, OnLanguage, p);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE m, LPSTR type, LONG_PTR p) {
    EnumResourceNamesA(m, type, OnName, p);
    return TRUE;
}

// Every resource names English or Japanese: a neutral one would be picked by
// the loader's fallback ahead of the user's language.
TEST_F(ResourcesTest, EveryResourceNamesItsLanguage) {
    LanguageMap found;
    EnumResourceTypesA(module_, OnType, reinterpret_cast<LONG_PTR>(&found));
    ASSERT_FALSE(found.empty());
    for (const auto& entry : found) {
        for (WORD lang : entry.second) {
            EXPECT_TRUE(lang == kEnglish || lang == kJapanese)
                << entry.first << " has language 0x" << std::hex << lang;
        }
    }

    // Each resource is in both languages, but those the system reads in one for all: the
    // icon's pictures and the manifest.
    const std::map<std::string, std::set<WORD>> single = {
        {ResName(RT_ICON), {kJapanese}},
        {ResName(RT_GROUP_ICON), {kJapanese}},
        {ResName(RT_MANIFEST), {kEnglish}},
    };
    const std::set<WORD> both = {kEnglish, kJapanese};
    for (const auto& entry : found) {
        auto one = single.find(entry.first.substr(0, entry.first.find('/')));
        EXPECT_EQ(entry.second, one != single.end() ? one->second : both) << entry.first;
    }
}

// ---------------------------------------------------------------- icon

TEST_F(ResourcesTest, IconGroupHoldsTwoSixteenColourImages) {
    Blob group = Find(RT_GROUP_ICON, IDR_MAINFRAME, kJapanese);
    ASSERT_NE(group.data, nullptr);
    Reader r(group);
    EXPECT_EQ(r.Word(), 0);
    EXPECT_EQ(r.Word(), 1) << "icon, not cursor";
    WORD count = r.Word();
    ASSERT_EQ(count, 2);
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(testing::Message() << "image " << sizes[i]);
        BYTE w = r.Byte(), h = r.Byte(), colours = r.Byte();
        r.Byte();
        WORD planes = r.Word(), bits = r.Word();
        DWORD bytes = r.Dword();
        WORD imageId = r.Word();
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(w, sizes[i]);
        EXPECT_EQ(h, sizes[i]);
        EXPECT_EQ(colours, 16);
        EXPECT_EQ(planes, 1);
        EXPECT_EQ(bits, 4);

        Blob image = Find(RT_ICON, imageId, kJapanese);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(image.size, bytes);
        ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, image.data, sizeof bih);
        EXPECT_EQ(bih.biWidth, sizes[i]);
        EXPECT_EQ(bih.biHeight, 2 * sizes[i]) << "colour bits and AND mask";
        EXPECT_EQ(bih.biBitCount, 4);
        // Header, 16-entry palette, 4-bit rows and 1-bit mask rows, each row padded to 4 bytes.
        DWORD stride4 = ((sizes[i] * 4 + 31) / 32) * 4, stride1 = ((sizes[i] + 31) / 32) * 4;
        EXPECT_EQ(image.size, sizeof bih + 16 * 4 + sizes[i] * (stride4 + stride1));
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE,
                                              0x00030000, sizes[i], sizes[i], LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << "the system cannot build an icon from it";
        if (icon) DestroyIcon(icon);
    }
}

// ---------------------------------------------------------------- version

// One node of a version resource: key, value bytes and children.
struct VerNode {
    std::wstring key;
    WORD valueLength = 0;
    WORD type = 0;
    std::vector<BYTE> value;
    std::vector<VerNode> children;
};

bool ParseVerNode(Reader& r, size_t end, VerNode* node) {
    r.AlignDword();
    size_t start = r.pos();
    WORD length = r.Word();
    node->valueLength = r.Word();
    node->type = r.Word();
    node->key = r.Sz();
    if (!r.ok() || length < 6 || start + length > end) return false;
    size_t nodeEnd = start + length;
    r.AlignDword();
    // Text values count UTF-16 units, binary ones count bytes.
    size_t valueBytes = node->type == 1 ? node->valueLength * 2u : node->valueLength;
    if (r.pos() + valueBytes > nodeEnd) return false;
    node->value.assign(r.Here(), r.Here() + valueBytes);
    r.Seek(r.pos() + valueBytes);
    while (r.ok() && ((r.pos() + 3) & ~size_t(3)) < nodeEnd) {
        node->children.emplace_back();
        if (!ParseVerNode(r, nodeEnd, &node->children.back())) return false;
    }
    r.Seek(nodeEnd);
    return r.ok();
}

std::wstring TextValue(const VerNode& n) {
    std::wstring s;
    for (size_t i = 0; i + 1 < n.value.size(); i += 2) {
        wchar_t c = static_cast<wchar_t>(n.value[i] | (n.value[i + 1] << 8));
        if (c == 0) break;
        s.push_back(c);
    }
    return s;
}

struct VersionString {
    const char* key;
    const char* english;
    const char* japanese;
};

const VersionString kVersionStrings[] = {
    {"Comments", "File Copy and Restore", "ファイルコピー＆リストア"},
    {"CompanyName", "VellumBox Project", "VellumBox Project"},
    {"FileDescription", "VellumBox MFC Application", "VellumBox MFC アプリケーション"},
    {"FileVersion", "1, 0, 1, 2", "1, 0, 1, 2"},
    {"InternalName", "VellumBox", "VellumBox"},
    {"LegalCopyright", "(C) 2026 VellumBox", "(C) 2026 VellumBox"},
    {"LegalTrademarks", "VellumBox", "VellumBox"},
    {"OriginalFilename", "VellumBox.EXE", "VellumBox.EXE"},
    {"PrivateBuild", "", ""},
    {"ProductName", "VellumBox Application", "VellumBox アプリケーション"},
    {"ProductVersion", "1, 0, 1, 2", "1, 0, 1, 2"},
    {"SpecialBuild", "", ""},
};

TEST_F(ResourcesTest, VersionResourceInBothLanguages) {
    for (WORD lang : {kEnglish, kJapanese}) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << lang);
        Blob b = Find(RT_VERSION, 1, lang);
        ASSERT_NE(b.data, nullptr);
        Reader r(b);
        VerNode root;
        ASSERT_TRUE(ParseVerNode(r, b.size, &root)) << "malformed version resource";
        EXPECT_EQ(root.key, L"VS_VERSION_INFO");
        ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, root.value.data(), sizeof fixed);
        EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed.dwFileVersionLS, 0x00010002u);
        EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
        EXPECT_EQ(fixed.dwProductVersionLS, 0x00010002u);
        EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
        EXPECT_EQ(fixed.dwFileFlags, 0u);
        EXPECT_EQ(fixed.dwFileOS, DWORD(VOS__WINDOWS32));
        EXPECT_EQ(fixed.dwFileType, DWORD(VFT_APP));
        EXPECT_EQ(fixed.dwFileSubtype, 0u);
        EXPECT_EQ(fixed.dwFileDateMS, 0u);
        EXPECT_EQ(fixed.dwFileDateLS, 0u);

        ASSERT_EQ(root.children.size(), 2u);
        const VerNode& sfi = root.children[0];
        const VerNode& vfi = root.children[1];
        EXPECT_EQ(sfi.key, L"StringFileInfo");
        ASSERT_EQ(sfi.children.size(), 1u);
        const VerNode& table = sfi.children[0];
        EXPECT_EQ(table.key, L"041104b0");
        ASSERT_EQ(table.children.size(), sizeof kVersionStrings / sizeof kVersionStrings[0]);
        for (size_t i = 0; i < table.children.size(); ++i) {
            const VersionString& want = kVersionStrings[i];
            EXPECT_EQ(table.children[i].key, Wide(want.key)) << "key #" << i;
            EXPECT_EQ(table.children[i].type, 1) << want.key;
            EXPECT_EQ(TextValue(table.children[i]),
                      Wide(lang == kEnglish ? want.english : want.japanese))
                << want.key;
        }

        EXPECT_EQ(vfi.key, L"VarFileInfo");
        ASSERT_EQ(vfi.children.size(), 1u);
        EXPECT_EQ(vfi.children[0].key, L"Translation");
        const std::vector<BYTE> translation = {0x11, 0x04, 0xB0, 0x04};
        EXPECT_EQ(vfi.children[0].value, translation);
    }
}

// The About box reads the data through the system's version functions and
// the translation entry; they must find it in the file as built.
TEST_F(ResourcesTest, VersionFunctionsFindTheStringsThroughTheTranslation) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, info.data()));
    WORD* translation = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &len));
    ASSERT_GE(len, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);
    char query[64];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\InternalName", translation[0], translation[1]);
    char* value = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &len));
    EXPECT_STREQ(value, "VellumBox");
}

}  // namespace
