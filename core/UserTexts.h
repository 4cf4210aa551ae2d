#pragma once

#include <string_view>

namespace parlowen::UserTexts {

// What the program says to its user, in one place: titles are short ASCII tags, texts are Japanese. The
// typos ("Complete Massage") are the program's own and are kept.
using Text = std::u16string_view;

inline constexpr Text ProductLine = u"プログラム名　チャットログ編集ツール Parlowen Pro";

inline constexpr Text SelectTitle = u"Err:File select";
inline constexpr Text NothingSelected = u"ファイルが選択されていません！";

inline constexpr Text BlankLinesTitle = u"Ask:Null Delete";
inline constexpr Text BlankLinesQuestion = u"空白行を除去しますか？";
inline constexpr Text SeparatorLinesTitle = u"Ask:Line Delete";
inline constexpr Text SeparatorLinesQuestion = u"区切り線「----」行を除去しますか？";

inline constexpr Text ConvertTitle = u"Message:Log Change & Save";
inline constexpr Text ConvertWarning =
    u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。\r\nよろしいですか？";
inline constexpr Text Cancelled = u"処理は中断されました。";

inline constexpr Text HtmlTitle = u"Message:HTML Change & Save";
inline constexpr Text HtmlTagsShown =
    u"中間ファイル作成のため、テキストウィンドウに\r\nＨＴＭＬタグが表示されます。";

inline constexpr Text CompleteTitle = u"Complete Massage";
inline constexpr Text ConvertComplete = u"Text change complete!";
inline constexpr Text HtmlComplete = u"HTML change complete!";

inline constexpr Text Before = u"Before";
inline constexpr Text After = u"After";

inline constexpr Text ConvertedTextNotShown =
    u"の変換は完了しましたが、変換後のテキストは大きすぎるため表示できません。";

inline constexpr Text ReadFailureTitle = u"Err:File read";
inline constexpr Text WriteFailureTitle = u"Err:File write";
inline constexpr Text CouldNotRead = u"」を読み込めませんでした。\r\n";
inline constexpr Text CouldNotWrite = u"」に書き込めませんでした。元のファイルは変更されていません。\r\n";

// A rewrite that a killed run left, as the next start or conversion finds it.
inline constexpr Text RecoveryRedone = u"の中断されていた変換を、ジャーナルから完了しました。";
inline constexpr Text RecoveryDropped = u"の中断されていた変換のジャーナルを破棄しました。\r\n"
                                        u"そのファイルは、変換を始めたときのファイルではありません。";
inline constexpr Text RecoveryFailed =
    u"の中断されていた変換を完了できませんでした。ジャーナルは残してあります。\r\n";
inline constexpr Text RewriteUnfinished =
    u"」の書き換えが途中で止まりました。変換後の内容はジャーナルにあり、"
    u"次の起動時か次の変換の前に書き換えを完了します。\r\n";

} // namespace parlowen::UserTexts
