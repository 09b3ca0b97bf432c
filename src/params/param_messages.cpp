#include "params/param_messages.h"

#include "base/sjis_text.h"

namespace nova::msg {

namespace {
NOVA_SJIS_TEXT(BadDimsOpen, "配列の要素数[")
NOVA_SJIS_TEXT(BadDimsClose, "]が不正です")
NOVA_SJIS_TEXT(BadVarNameSuffix, "\"：変数名が不正です")
NOVA_SJIS_TEXT(InvalidVarSuffix, ":不正な変数です")
NOVA_SJIS_TEXT(NoSuchVarSuffix, "\" 変数がありません")
}  // namespace

NOVA_SJIS_TEXT(CopyMemTypeMismatch, "CopyMem:変数の型があいません")
NOVA_SJIS_TEXT(BadElementIndex, "配列の添字が不正です")
NOVA_SJIS_TEXT(NoVarName, "変数名がありません")
NOVA_SJIS_TEXT(BadExpression, "不正な式\r\n\r\n代入先:")
NOVA_SJIS_TEXT(OperationType, "演算タイプ:")
NOVA_SJIS_TEXT(BadGetPropArgument, "GetPropの引数が違います")
NOVA_SJIS_TEXT(BadSubscript, "添え字が不正です")
NOVA_SJIS_TEXT(SubscriptBeyondCount, "要素数を超えています")
NOVA_SJIS_TEXT(InternalError, "内部エラー")

std::string BadDims(const std::string& sizes) { return BadDimsOpen() + sizes + BadDimsClose(); }
std::string BadVarName(const std::string& name) { return "\"" + name + BadVarNameSuffix(); }
std::string InvalidVar(const std::string& name) { return name + InvalidVarSuffix(); }
std::string NoSuchVar(const std::string& name) { return "\"" + name + NoSuchVarSuffix(); }

}  // namespace nova::msg
