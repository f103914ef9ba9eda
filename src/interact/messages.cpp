#include "interact/messages.h"

#include <cstdio>
#include <string_view>

namespace kestrel::interact {

namespace {

constexpr std::string_view LineBreak = "\r\n";

// Failure messages and their remedy lines, in the order the numbers are matched.
constexpr std::string_view Overflow = "オーバーフロー(Err=6)";
constexpr std::string_view OutOfMemory = "メモリが足りません(Err=7)";
constexpr std::string_view IndexOutOfRange = "インデックスが有効範囲にありません(Err=9)";
constexpr std::string_view IndexOutOfRangeRemedy =
    "対策：読み込みファイルを間違えていないか確かめて下さい";
constexpr std::string_view BadFileName = "ファイル名または番号が不正です。";
constexpr std::string_view FileNotFound = "ファイルが見つかりません。(Err=53)";
constexpr std::string_view FileNotFoundRemedy =
    "対策：設定ファイルを間違えていないか確かめて下さい";
constexpr std::string_view FileAlreadyOpen = "ファイルは既に開かれています(Err=55)";
constexpr std::string_view DiskFull = "ディスクの空き容量が不足しています(Err=61)";
constexpr std::string_view PermissionDenied = "書き込みができません(Err=70)";
constexpr std::string_view PathNotFound = "パスが見つかりません。(Err=76)";
constexpr std::string_view PrinterError = "プリンターエラーです(Err=482)";
constexpr std::string_view CannotEmptyClipboard = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)";
constexpr std::string_view CannotOpenClipboard = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)";
constexpr std::string_view MemoryShort = "メモリが不足しています(Err=31001)";
constexpr std::string_view FileIoError =
    "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)";
constexpr std::string_view FileIoErrorRemedy =
    "対策：他のプログラムでファイルを使用していないか確かめて下さい";
constexpr std::string_view UnknownNumber = "エラーメッセージ番号";
constexpr std::string_view ImageTooLarge = "画像が大きすぎます";
constexpr std::string_view PixelsUnit = "ピクセル";
constexpr std::string_view ImageTooLargeRemedy = "対策：縦横";
constexpr std::string_view ImageTooLargeRemedyEnd =
    "ピクセル以内に縮小するか、範囲を選択して下さい";

std::string WithRemedy(std::string_view message, std::string_view remedy) {
    std::string s(message);
    s += LineBreak;
    s += remedy;
    return s;
}

}  // namespace

std::string ErrorMessageText(reader::ErrorNumber number) {
    using reader::ErrorNumber;
    switch (number) {
        case ErrorNumber::Overflow: return std::string(Overflow);
        case ErrorNumber::OutOfMemory: return std::string(OutOfMemory);
        case ErrorNumber::IndexOutOfRange:
            return WithRemedy(IndexOutOfRange, IndexOutOfRangeRemedy);
        case ErrorNumber::BadFileName:
            return WithRemedy(BadFileName, "");  // no remedy, yet the line break stays
        case ErrorNumber::FileNotFound: return WithRemedy(FileNotFound, FileNotFoundRemedy);
        case ErrorNumber::FileAlreadyOpen: return std::string(FileAlreadyOpen);
        case ErrorNumber::DiskFull: return std::string(DiskFull);
        case ErrorNumber::PermissionDenied: return std::string(PermissionDenied);
        case ErrorNumber::PathNotFound: return std::string(PathNotFound);
        case ErrorNumber::PrinterError: return std::string(PrinterError);
        case ErrorNumber::CannotEmptyClipboard: return std::string(CannotEmptyClipboard);
        case ErrorNumber::CannotOpenClipboard: return std::string(CannotOpenClipboard);
        case ErrorNumber::MemoryShort: return std::string(MemoryShort);
        case ErrorNumber::FileReadError:
        case ErrorNumber::FileWriteError: return WithRemedy(FileIoError, FileIoErrorRemedy);
        case ErrorNumber::None: break;
    }
    // The number is written with a sign position: a blank for 0 and up.
    const int value = static_cast<int>(number);
    std::string s(UnknownNumber);
    if (value >= 0) s += ' ';
    s += std::to_string(value);
    return s;
}

std::string FileErrorMessageText(reader::ErrorNumber number, std::string_view fileName) {
    std::string s = ErrorMessageText(number);
    // A message that already ends with a line break (52) gets the name on that empty line.
    if (!s.ends_with(LineBreak)) s += LineBreak;
    s += fileName;
    return s;
}

std::string ImageTooLargeText(double width, double height) {
    // Sizes beyond any image are written whole, however large.
    const auto whole = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", v);
        return std::string(text);
    };
    std::string s(ImageTooLarge);
    s += "(" + whole(width) + "×" + whole(height) + std::string(PixelsUnit) + ")";
    s += LineBreak;
    s += ImageTooLargeRemedy;
    s += std::to_string(LargestImageSide);
    s += ImageTooLargeRemedyEnd;
    return s;
}

}  // namespace kestrel::interact
