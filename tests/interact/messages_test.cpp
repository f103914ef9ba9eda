#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "interact/messages.h"

using kestrel::interact::ErrorMessageText;
using kestrel::reader::ErrorNumber;

namespace {

TEST(ErrorMessage, MessagesAndRemedies) {
    const std::pair<int, std::string> cases[] = {
        {7, "メモリが足りません(Err=7)"},
        {9, "インデックスが有効範囲にありません(Err=9)\r\n対策：読み込みファイルを間違えていないか確かめて下さい"},
        {52, "ファイル名または番号が不正です。\r\n"},  // no remedy, yet the line break
        {76, "パスが見つかりません。(Err=76)"},
        {31036,
         "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)\r\n"
         "対策：他のプログラムでファイルを使用していないか確かめて下さい"},
        // Any other number, written with a sign position.
        {5, "エラーメッセージ番号 5"},
        {INT_MIN, "エラーメッセージ番号-2147483648"},
    };
    for (const auto& [number, text] : cases) EXPECT_EQ(ErrorMessageText(ErrorNumber{number}), text) << number;
    EXPECT_EQ(ErrorMessageText(ErrorNumber{31037}), ErrorMessageText(ErrorNumber{31036}));
    // A file's error names it on a line of its own, the empty one where there is no remedy.
    EXPECT_EQ(kestrel::interact::FileErrorMessageText(ErrorNumber{76}, "/a/b.bmp"),
              "パスが見つかりません。(Err=76)\r\n/a/b.bmp");
    EXPECT_EQ(kestrel::interact::FileErrorMessageText(ErrorNumber{52}, "/a"), "ファイル名または番号が不正です。\r\n/a");
}

}  // namespace
