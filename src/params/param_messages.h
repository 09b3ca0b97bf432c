#pragma once
// The variable store's and the executor's own message texts (Shift-JIS).
#include <string>

namespace nova::msg {

const std::string& CopyMemTypeMismatch();         // CopyMem:変数の型があいません
const std::string& BadElementIndex();             // 配列の添字が不正です
std::string BadDims(const std::string& sizes);    // 配列の要素数[sizes]が不正です
std::string BadVarName(const std::string& name);  // "name"：変数名が不正です
std::string InvalidVar(const std::string& name);  // name:不正な変数です
const std::string& NoVarName();                   // 変数名がありません
std::string NoSuchVar(const std::string& name);   // "name" 変数がありません
const std::string& BadExpression();               // 不正な式\r\n\r\n代入先:
const std::string& OperationType();               // 演算タイプ:
const std::string& BadGetPropArgument();          // GetPropの引数が違います
const std::string& BadSubscript();                // 添え字が不正です
const std::string& SubscriptBeyondCount();        // 要素数を超えています
const std::string& InternalError();               // 内部エラー

}  // namespace nova::msg
