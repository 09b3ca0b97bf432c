#pragma once
// The scenario engine's own message texts, in Shift-JIS (converted once from the UTF-8 source).
#include <string>

namespace nova::msg {

const std::string& Warning();          // "警告"
const std::string& Information();      // "情報"
const std::string& Rebuild();          // "リビルドしてください"
const std::string& StackError();       // "スタックエラー"
const std::string& NoVariableName();   // "変数名がありません"
const std::string& NoProject();        // "プロジェクトがありません"
const std::string& NoStartPage();      // "スタートページがありません"
const std::string& Reinstall();        // "インストールし直してください"
const std::string& InsertDisc();       // "ディスクを入れてください"
const std::string& DiskPrompt();       // "ディスク%dを入れてから[OK]をクリックしてください"
const std::string& QuitText();         // "終了します"
const std::string& BadProperty();      // "プロパティ指定が不正です"
const std::string& BadCommand();       // "不正なコマンド"

}  // namespace nova::msg
