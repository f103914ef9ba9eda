#pragma once

// Every text the window shows, defined once. The half-width katakana and full-width
// characters are part of the texts and must stay as they are.

namespace Kestrel_App {

inline constexpr char AppCaption[] = "Kestrel";

// Menu bar and pop-up menu.
inline constexpr char PlotMenu20Caption[] = "ﾌｧｲﾙ(&F)";
inline constexpr char PlotMenu21Caption[] = "ﾌﾟﾛｯﾀﾌｧｲﾙの読み込み";
inline constexpr char PlotMenu24Caption[] = "画像の保存（ＢＭＰ形式）";
inline constexpr char PlotMenu23Caption[] = "プログラムの終了";
inline constexpr char PlotMenu30Caption[] = "ｵﾌﾟｼｮﾝ(&O)";
inline constexpr char PlotMenu31Caption[] = "表示設定(&E)";
inline constexpr char PlotMenu80Caption[] = "ｳｨﾝﾄﾞｳ(&W)";
inline constexpr char PlotMenu81Caption[] = "なし";
inline constexpr char PlotMenu90Caption[] = "ﾍﾙﾌﾟ(&H)";
inline constexpr char PlotMenu94Caption[] = "オンラインマニュアル";
inline constexpr char PlotMenu91Caption[] = "対応コマンド一覧表";
inline constexpr char PlotMenu93Caption[] = "バージョン情報";
inline constexpr char PlotMenu10Caption[] = "ポップアップメニュー";
inline constexpr char PlotMenu15Caption[] = "右に９０°回転";
inline constexpr char PlotMenu16Caption[] = "左に９０°回転";
inline constexpr char PlotMenu17Caption[] = "１８０°回転";
inline constexpr char PlotMenu13Caption[] = "印刷";
inline constexpr char PlotMenu14Caption[] = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保管";
inline constexpr char PlotMenu18Caption[] = "画像の保存（ＢＭＰ形式）";

// Tool bar buttons 1..8, left to right.
inline constexpr const char* ToolbarTips[8] = {
    "プログラム終了", "ファイルを開く", "ビットマップ形式で保存", "印刷",
    "クリップボードへコピー", "拡大", "縮小", "ウィンドウに合わせる",
};

// Status bar panels 1..4: their initial texts, which are also their tooltips.
inline constexpr const char* PanelNames[4] = {
    "ウィンドウサイズ", "プロット番号", "フォントタイプ", "ライン数/文字数",
};

// The open dialog.
inline constexpr char OpenDialogTitle[] = "ＨＰＧＬファイルを開く";
inline constexpr char HpglFilter[] = "ＨＰＧＬデータファイル(*.hpg)";
inline constexpr char AllFilesFilter[] = "すべて(*.*)";
inline constexpr char HpglPattern[] = "*.hpg";
inline constexpr char AllFilesPattern[] = "*.*";

// Shown after reading a file in which no command delimiter was found.
inline constexpr char NoDelimiterMessage[] = "ファイル中に区切子がありません";

// The save dialog.
inline constexpr char SaveDialogTitle[] = "画像の保存";
inline constexpr char BmpFilter[] = "BMPファイル(*.bmp)";
inline constexpr char BmpPattern[] = "*.bmp";

}  // namespace Kestrel_App
