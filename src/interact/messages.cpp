#include "interact/messages.h"

#include <string_view>

namespace kestrel::interact {

namespace {

constexpr std::string_view LineBreak = "\r\n";

// Failure messages and their remedy lines, in the order the numbers are matched.
constexpr std::string_view Overflow = "オーバーフロー(Err=6)";
constexpr std::string_view OutOfMemory = "メモリが足りません(Err=7)";
constexpr std::string_view IndexOutOfRange = "インデックスが有効範囲にありません(Err=9)";
constexpr std::string_view IndexOutOfRangeRemedy = "対策：読み込みファイルを間違えていないか確かめて下さい";
constexpr std::string_view BadFileName = "ファイル名または番号が不正です。";
constexpr std::string_view FileNotFound = "ファイルが見つかりません。(Err=53)";
constexpr std::string_view FileNotFoundRemedy = "対策：設定ファイルを間違えていないか確かめて下さい";
constexpr std::string_view FileAlreadyOpen = "ファイルは既に開かれています(Err=55)";
constexpr std::string_view DiskFull = "ディスクの空き容量が不足しています(Err=61)";
constexpr std::string_view PermissionDenied = "書き込みができません(Err=70)";
constexpr std::string_view PathNotFound = "パスが見つかりません。(Err=76)";
constexpr std::string_view PrinterError = "プリンターエラーです(Err=482)";
constexpr std::string_view CannotEmptyClipboard = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)";
constexpr std::string_view CannotOpenClipboard = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)";
constexpr std::string_view MemoryShort = "メモリが不足しています(Err=31001)";
constexpr std::string_view FileIoError = "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)";
constexpr std::string_view FileIoErrorRemedy = "対策：他のプログラムでファイルを使用していないか確かめて下さい";
constexpr std::string_view UnknownNumber = "エラーメッセージ番号";

std::string WithRemedy(std::string_view message, std::string_view remedy) {
    std::string s(message);
    s += LineBreak;
    s += remedy;
    return s;
}

}  // namespace

std::string ErrorMessageText(int number) {
    switch (number) {
        case 6: return std::string(Overflow);
        case 7: return std::string(OutOfMemory);
        case 9: return WithRemedy(IndexOutOfRange, IndexOutOfRangeRemedy);
        case 52: return WithRemedy(BadFileName, "");  // no remedy, yet the line break stays
        case 53: return WithRemedy(FileNotFound, FileNotFoundRemedy);
        case 55: return std::string(FileAlreadyOpen);
        case 61: return std::string(DiskFull);
        case 70: return std::string(PermissionDenied);
        case 76: return std::string(PathNotFound);
        case 482: return std::string(PrinterError);
        case 520: return std::string(CannotEmptyClipboard);
        case 521: return std::string(CannotOpenClipboard);
        case 31001: return std::string(MemoryShort);
        case 31036:
        case 31037: return WithRemedy(FileIoError, FileIoErrorRemedy);
        default: {
            // The number is written with a sign position: a blank for 0 and up.
            std::string s(UnknownNumber);
            if (number >= 0) s += ' ';
            s += std::to_string(number);
            return s;
        }
    }
}

std::string FileErrorMessageText(int number, std::string_view fileName) {
    std::string s = ErrorMessageText(number);
    // A message that already ends with a line break (52) gets the name on that empty line.
    if (!s.ends_with(LineBreak)) s += LineBreak;
    s += fileName;
    return s;
}

}  // namespace kestrel::interact
