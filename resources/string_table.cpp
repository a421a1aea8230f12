// Every text of the program, in one table. Saved as UTF-8; \n is a line break.
//
// A neutral entry is read in either UI language. An id with language entries is read
// in the UI language's entry; ids are unique within each block.

#include "resources/string_table.h"

namespace resources::detail {

const StringEntry kStringTable[] = {
    // Shown when the program cannot prepare its platform at start.
    {100, Block::Japanese, u"プログラムを開始できませんでした。"},
    {100, Block::English, u"The program could not be started."},

    // Message boxes: Japanese id, then English id.
    {129, Block::Neutral, u"画像をドラッグアンドドロップで追加してから、この操作を行ってください。"},
    {143, Block::Neutral, u"You can do this operation after you add jmages."},
    {130, Block::Neutral, u"回転・反転の設定を行ってください。"},
    {134, Block::Neutral, u"No rotation settings."},
    {132, Block::Neutral, u"画像が選択されていません。\n画像をクリックして選択してください。"},
    {144, Block::Neutral, u"No images are selected."},
    {133, Block::Neutral, u"本当に操作対象から外しますか？"},
    {145, Block::Neutral, u"Are you sure to delete?"},
    {137, Block::Neutral, u"処理が完了しました。"},
    {140, Block::Neutral, u"The process has been completed."},
    {138, Block::Neutral, u"終了しますか？"},
    {147, Block::Neutral, u"Are you sure to exit?"},

    // The help card over an empty list.
    {139, Block::Neutral, u"JPEGファイルをドラッグアンドドロップで\n追加してください。"},
    {142, Block::Neutral, u"Drag-and-drop Jpeg files"},

    // Prompt of the output folder browser.
    {141, Block::Neutral,
     u"回転・反転した画像を保存するフォルダを選択してください。\n"
     u"保存時に重複するファイル名の物がある場合、自動的にリネームして保存します。"},
    {148, Block::Neutral, u"Select folder in which you want to save rotated images."},

    // Labels of the flip and rotation radio buttons, under their control ids.
    {222, Block::Japanese, u"反転なし"},
    {222, Block::English, u"No Flipping"},
    {223, Block::Japanese, u"左右反転"},
    {223, Block::English, u"Flip Horizontal"},
    {224, Block::Japanese, u"上下反転"},
    {224, Block::English, u"Flip Vertical"},
    {225, Block::Japanese, u"回転なし"},
    {225, Block::English, u"No Rotation"},
    {226, Block::Japanese, u"90度回転"},
    {226, Block::English, u"Rotate 90"},
    {227, Block::Japanese, u"180度回転"},
    {227, Block::English, u"Rotate 180"},
    {228, Block::Japanese, u"270度回転"},
    {228, Block::English, u"Rotate 270"},

    // The application title: window text, single-instance name, message box caption, header.
    {300, Block::Japanese, u"ターンワイズ"},
    {300, Block::English, u"Brantmoor Turnwise"},

    // The caption line over the list and the label over the settings.
    {301, Block::Japanese, u"%d 個の画像中 %d 個を選択しています"},
    {301, Block::English, u"%d images(%d selected)"},
    {302, Block::Japanese, u"回転・反転の設定"},
    {302, Block::English, u"Settings"},

    // Web pages: the maker's home page, and the help page below the maker's host.
    {303, Block::Japanese, u"http://%s/index_j.html"},
    {303, Block::English, u"http://%s/index_e.html"},
    {304, Block::Japanese, u"pivora/pivora.html"},
    {304, Block::English, u"pivora/pivora_e.html"},

    // Formats read the same in both languages.
    {310, Block::Neutral, u"\nwidth: %d pixel, height: %d pixel"},
    {311, Block::Neutral, u" Ver.%d.%d.%d.%d"},
    {312, Block::Neutral, u"%s Version %d.%d.%d.%d"},
    {313, Block::Neutral, u"http://%s/%s"},
};

const std::size_t kStringTableSize = sizeof(kStringTable) / sizeof(kStringTable[0]);

} // namespace resources::detail
