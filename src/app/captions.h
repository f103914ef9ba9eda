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
// Printing the plot's vectors as the plotter draws them, at true scale or fitted.
inline constexpr char PrintTrueScaleCaption[] = "実寸で印刷（ﾌﾟﾚﾋﾞｭｰ）";
inline constexpr char PrintFittedCaption[] = "用紙に合わせて印刷（ﾌﾟﾚﾋﾞｭｰ）";
// Options kept between runs.
inline constexpr char ShowTravelCaption[] = "ﾍﾟﾝｱｯﾌﾟの移動を点線で表示";
inline constexpr char FollowFileCaption[] = "ﾌｧｲﾙの変更に追従する";
// The window menu's panels, which are also the panels' titles.
inline constexpr char PensPanelCaption[] = "ﾍﾟﾝとﾌﾟﾛｯﾄの情報";
inline constexpr char PagesPanelCaption[] = "ﾍﾟｰｼﾞ一覧";

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
// Plot files go by several extensions besides .hpg; the first filter shows and names them all.
inline constexpr char HpglFilter[] = "ＨＰＧＬデータファイル(*.hpg *.hpgl *.plt *.hp)";
inline constexpr char AllFilesFilter[] = "すべて(*.*)";
inline constexpr char HpglPattern[] = "*.hpg";
inline constexpr char AllFilesPattern[] = "*.*";

// The status bar's progress while a file is read and while a large plot is drawn.
inline constexpr char ReadingProgress[] = "読み込み中 %p%";
inline constexpr char DrawingProgress[] = "描画中 %p%";

// Shown after reading a file in which no command delimiter was found.
inline constexpr char NoDelimiterMessage[] = "ファイル中に区切子がありません";

// The status bar's corner beside the panels: the reading that drew the plot, a note in its
// place until the next step, or the progress while there is one; its tooltip.
inline constexpr char PlotterReadingText[] = "プロッタ読み込み";
inline constexpr char BasicReadingText[] = "基本読み込み";
inline constexpr char ReadingPanelTip[] = "読み込み方法";
inline constexpr char FirstPlotNote[] = "最初のプロットです";
inline constexpr char LastPlotNote[] = "最後のプロットです";
inline constexpr char EmptyFileNote[] = "ファイルが空です";
inline constexpr char NothingDrawnNote[] = "描画コマンドなし";
inline constexpr char FollowedNote[] = "再読み込みしました";
inline constexpr const char* CornerTexts[] = {
    PlotterReadingText, BasicReadingText, FirstPlotNote, LastPlotNote,
    EmptyFileNote,      NothingDrawnNote, FollowedNote};

// Why reading ended where it did. The limits, memory and a changed file are also told at once.
inline constexpr char ReadToTheEnd[] = "ファイルの最後まで読み込みました。";
inline constexpr char EndedAtPageFeed[] = "基本読み込みは最初の改ページまでです。";
inline constexpr char EndedAtBadPen[] = "ペン番号が正しくないため、読み込みを終了しました。";
inline constexpr char EndedAtOverflow[] = "座標が大きすぎるため、読み込みを終了しました。";
inline constexpr char EndedAtSegmentLimit[] =
    "線分数が上限（20,000,000）に達したため、読み込みを途中で終了しました。";
inline constexpr char EndedAtPlotLimit[] =
    "プロット数が上限（32,767）に達したため、読み込みを途中で終了しました。";
inline constexpr char EndedAtCharLimit[] =
    "文字数が上限（1,000,000）に達したため、それ以降のラベルを省きました。";
inline constexpr char EndedOutOfMemory[] = "メモリが足りないため、読み込みを途中で終了しました。";
inline constexpr char EndedFileChanged[] =
    "読み込み中にファイルが変更されました。もう一度読み込んで下さい。";

// The pens and plot panel: its tooltip, the pens' columns, and the plot's facts.
inline constexpr char PensPanelTip[] =
    "チェックを外したペンは画面に表示しません（表示だけの設定です。コピー、保存、印刷、実寸印刷には"
    "全てのペンが出ます）";
inline constexpr const char* PenColumnTitles[] = {"ペン", "色", "線幅", "線分数", "描画長(m)"};
inline constexpr char HairLineText[] = "細線";
inline constexpr const char* FactTitles[] = {
    "範囲（プロッタ単位）",
    "大きさ",
    "近い用紙",
    "ペン数",
    "線分数",
    "文字数",
    "ペンダウン距離",
    "ペンアップ距離",
    "推定描画時間",
    "ペン交換",
    "読み込み",
    "読み込みの終了",
};
inline constexpr char ExtentsFormat[] = "X %1 ～ %2, Y %3 ～ %4";
inline constexpr char SizeFormat[] = "%1 × %2 mm";
inline constexpr char LandscapeText[] = "横";
inline constexpr char PortraitText[] = "縦";
inline constexpr char NoneText[] = "―";
inline constexpr char TimesText[] = "回";
// Follows a distance and a time the file had too many pen-up moves to tell in full.
inline constexpr char PartialText[] = "（一部）";
// Follows the estimated time: what it leaves out.
inline constexpr char TimeNote[] = "（加速とペン交換を除く）";

// The save dialog.
inline constexpr char SaveDialogTitle[] = "画像の保存";

// True-scale printing: the label on each sheet ("file  2 / 6（1行2列）") and the message
// for a plot that would take too many sheets.
inline constexpr char SheetLabel[] = "%1  %2 / %3（%4行%5列）";
inline constexpr char TooManySheetsMessage[] =
    "実寸では用紙が５００枚を超えるため印刷できません。「用紙に合わせて印刷」をお使い下さい。";
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
    "CS：標準文字セットの選択",
    "CA：代替文字セットの選択",
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
    "RF：塗りつぶしパターンの定義",
    "LT：線種",
    "UL：ユーザー定義の線種",
    "LA：線の端と角の形",
    "PW：ペンの幅",
    "WU：ペンの幅の単位",
    "PC：ペンの色",
    "NP：ペンの数",
    "CR：色の範囲",
    "VS：ペンの速度",
};
inline constexpr char VersionCaptionSuffix[] = " のﾊﾞｰｼﾞｮﾝ情報";
inline constexpr char VersionPrefix[] = "Version ";
inline constexpr char AuthorLine[] = "Copyright (C) 2026 The Kestrel developers";
// Followed by the manual's path.
inline constexpr char NoBrowserMessage[] =
    "ブラウザを起動できませんでした。\nオンラインマニュアルは次のファイルです：\n";

}  // namespace kestrel::app
