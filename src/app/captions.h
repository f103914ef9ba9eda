#pragma once

// Every text the window shows, defined once. The half-width katakana and full-width
// characters are part of the texts and must stay as they are.

namespace kestrel::app {

inline constexpr char AppCaption[] = "Kestrel";
// Between the caption and the loaded file's name in the window title.
inline constexpr char TitleSeparator[] = " - ";

// Menu bar and pop-up menu.
inline constexpr char PlotMenu20Caption[] = "ﾌｧｲﾙ(&F)";
inline constexpr char PlotMenu21Caption[] = "ﾌﾟﾛｯﾀﾌｧｲﾙの読み込み";
inline constexpr char PlotMenu24Caption[] = "画像の保存（ＢＭＰ形式）";
inline constexpr char PlotMenu23Caption[] = "プログラムの終了";
inline constexpr char PlotMenu30Caption[] = "ｵﾌﾟｼｮﾝ(&O)";
inline constexpr char PlotMenu31Caption[] = "表示設定(&E)";
inline constexpr char BasicReadingCaption[] = "基本コマンドのみで読み込む";
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
    "プログラム終了", "ファイルを開く", "ビットマップ形式で保存", "印刷", "クリップボードへコピー",
    "拡大",           "縮小",           "ウィンドウに合わせる",
};

// Status bar panels 1..4: their initial texts, which are also their tooltips.
inline constexpr const char* PanelNames[4] = {
    "ウィンドウサイズ",
    "プロット番号",
    "フォントタイプ",
    "ライン数/文字数",
};
// The view's panels after them: the pointer's position, and the measuring line.
inline constexpr char PointerPanelName[] = "座標（プロッタ単位・mm）";
inline constexpr char MeasurePanelName[] = "計測（Shift＋左ドラッグ、Escで消去）";

// The open dialog.
inline constexpr char OpenDialogTitle[] = "ＨＰＧＬファイルを開く";
// Plot files go by several extensions besides .hpg; all of them show with the first filter.
inline constexpr char HpglFilter[] = "ＨＰＧＬデータファイル(*.hpg)";
// What the HPGL filter shows besides *.hpg: the names other programs give plot files.
inline constexpr const char* HpglFilePatterns[] = {"*.hpg", "*.hpgl", "*.plt", "*.hp"};
inline constexpr char AllFilesFilter[] = "すべて(*.*)";
inline constexpr char HpglPattern[] = "*.hpg";
inline constexpr char AllFilesPattern[] = "*.*";

// The status bar's progress while a file is read and while a large plot is drawn.
inline constexpr char ReadingProgress[] = "読み込み中 %p%";
inline constexpr char DrawingProgress[] = "描画中 %p%";

// Shown after reading a file in which no command delimiter was found.
inline constexpr char NoDelimiterMessage[] = "ファイル中に区切子がありません";

// The save dialog.
inline constexpr char SaveDialogTitle[] = "画像の保存";
// Its filters for the formats come with the formats (output/output_formats.cpp).

// The small dialogs, the version texts and the manual.
inline constexpr char OkCaption[] = "OK";
inline constexpr char OnCaption[] = "ON";
inline constexpr char OffCaption[] = "OFF";
inline constexpr char OptionFormCaption[] = "表示設定";
inline constexpr char OptionFrameCaption[] = "画面調整時の表示方法";
inline constexpr char OptionLabel1Caption[] =
    "マウスによる画面の拡大及び縮小時に動きが遅くなる場合には、「OFF」にして下さい。";
inline constexpr char Frame1Caption[] = "PLOT範囲の表示枠";
inline constexpr char Frame2Caption[] = "線幅の表示";
inline constexpr char ComdFormCaption[] = "対応コマンド一覧表";
// The eight basic commands first, then what plotter reading understands besides.
inline constexpr const char* CommandListEntries[] = {
    "DF：デフォルトに戻す",
    "IN：初期化",
    "PA：絶対座標の指定",
    "PD：ペンダウン",
    "PG：排紙命令",
    "PR：相対座標の指定",
    "PU：ペンアップ",
    "SP：ペンの選択",
    "BP：プロットの開始",
    "CO：コメント",
    "FR：フレームの送り",
    "IP：スケーリングポイントの指定",
    "IR：スケーリングポイントの相対指定",
    "IW：描画範囲（ウィンドウ）の指定",
    "PE：エンコードされたポリライン",
    "PS：用紙サイズの指定",
    "RO：座標系の回転",
    "SC：スケーリング",
    "LB：ラベル（文字）の描画",
    "DT：ラベル終端文字の指定",
    "SI：文字サイズの指定",
    "SR：文字サイズの相対指定",
    "DI：文字方向の指定",
    "DR：文字方向の相対指定",
    "DV：文字の並ぶ向き（縦書き）の指定",
    "SL：文字の傾きの指定",
    "ES：文字間・行間の追加",
    "LO：ラベル原点の指定",
    "CP：文字単位のペン移動",
    "SM：シンボルモード",
    "LM：ラベルモード（２バイト文字）",
    "SD：標準フォントの定義",
    "AD：代替フォントの定義",
    "SS：標準フォントの選択",
    "SA：代替フォントの選択",
    "BL：ラベルのバッファへの格納",
    "PB：バッファのラベルの描画",
    "AA：円弧（絶対座標）",
    "AR：円弧（相対座標）",
    "AT：３点指定の円弧（絶対座標）",
    "RT：３点指定の円弧（相対座標）",
    "BZ：ベジェ曲線（絶対座標）",
    "BR：ベジェ曲線（相対座標）",
    "CI：円",
    "CT：弦の許容誤差の方式",
    "EA：矩形（絶対座標）",
    "ER：矩形（相対座標）",
    "EW：扇形",
    "RA：塗りつぶし矩形（絶対座標）",
    "RR：塗りつぶし矩形（相対座標）",
    "WG：塗りつぶし扇形",
    "PM：ポリゴンモード",
    "EP：ポリゴンの輪郭",
    "FP：ポリゴンの塗りつぶし",
    "FT：塗りつぶしの種類",
    "AC：塗りつぶしの基準点",
    "PT：ペンの太さ",
    "LT：線種",
    "UL：ユーザー定義の線種",
    "PW：ペンの幅",
    "WU：ペンの幅の単位",
    "PC：ペンの色",
    "NP：ペンの数",
    "CR：色の範囲",
};
inline constexpr char VersionCaptionSuffix[] = " のﾊﾞｰｼﾞｮﾝ情報";
inline constexpr char VersionPrefix[] = "Version ";
inline constexpr char AuthorLine[] = "Copyright (C) 2026 The Kestrel developers";
// Followed by the manual's path.
inline constexpr char NoBrowserMessage[] =
    "ブラウザを起動できませんでした。\nオンラインマニュアルは次のファイルです：\n";

}  // namespace kestrel::app
