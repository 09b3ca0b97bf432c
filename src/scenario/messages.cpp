#include "scenario/messages.h"

#include "base/sjis_text.h"

namespace nova::msg {

NOVA_SJIS_TEXT(Warning, "警告")
NOVA_SJIS_TEXT(Information, "情報")
NOVA_SJIS_TEXT(Rebuild, "リビルドしてください")
NOVA_SJIS_TEXT(StackError, "スタックエラー")
NOVA_SJIS_TEXT(NoVariableName, "変数名がありません")
NOVA_SJIS_TEXT(NoProject, "プロジェクトがありません")
NOVA_SJIS_TEXT(NoStartPage, "スタートページがありません")
NOVA_SJIS_TEXT(Reinstall, "インストールし直してください")
NOVA_SJIS_TEXT(InsertDisc, "ディスクを入れてください")
NOVA_SJIS_TEXT(DiskPrompt, "ディスク%dを入れてから[OK]をクリックしてください")
NOVA_SJIS_TEXT(QuitText, "終了します")
NOVA_SJIS_TEXT(BadProperty, "プロパティ指定が不正です")
NOVA_SJIS_TEXT(BadCommand, "不正なコマンド")


}  // namespace nova::msg
