// The function table: numbers, names, argument ranges and result types. The compiler checks
// names and argument counts against it; the executor types result temporaries by it.
#include <string_view>
#include <unordered_map>

#include "params/param.h"
#include "params/sysfunc.h"

namespace nova {
// Named, not anonymous: the property table spells its type letters the same way.
namespace sysfunc_rows {

constexpr uint8_t I = PT_INT, R = PT_FLOAT, F = PT_BOOL, S = PT_STR;

constexpr TSysFuncInfo kFuncTable[kSysFuncCount] = {
    {"IntToStr", 1, 2, S},          {"IntToHex", 2, 2, S},          {"GetProp", 2, 2, PT_NONE},
    {"SetProp", 3, 3, S},           {"GetArraySize", 1, 2, I},      {"Length", 1, 1, I},
    {"JLength", 1, 1, I},           {"Copy", 2, 3, S},              {"JCopy", 2, 3, S},
    {"Delete", 2, 3, S},            {"JDelete", 2, 3, S},           {"Insert", 3, 3, S},
    {"JInsert", 3, 3, S},           {"CompareStr", 2, 2, I},        {"CompareText", 2, 2, I},
    {"Pos", 2, 2, I},               {"JPos", 2, 2, I},              {"Trim", 1, 1, S},
    {"JTrim", 1, 1, S},             {"Exists", 1, 1, F},            {"Not", 1, 1, F},
    {"SetArray", 2, -1, I},         {"FillMem", 2, 2, I},           {"CopyMem", 2, 2, I},
    {"GetCheck", 2, 2, F},          {"SetCheck", 3, 3, I},          {"Random", 1, 1, I},
    {"GetSaveCaption", 1, 1, S},    {"ArrayToString", 1, 2, S},     {"StringToArray", 2, 3, I},
    {"IndexOfStr", 2, 4, I},        {"SortStr", 1, 1, I},           {"ListCompo", 1, 3, I},
    {"ToClientX", 2, 2, I},         {"ToClientY", 2, 2, I},         {"ToScreenX", 2, 2, I},
    {"ToScreenY", 2, 2, I},         {"Int", 1, 1, I},               {"Float", 1, 1, R},
    {"Sin", 1, 1, R},               {"Cos", 1, 1, R},               {"Tan", 1, 1, R},
    {"ArcSin", 1, 1, R},            {"ArcCos", 1, 1, R},            {"ArcTan", 1, 1, R},
    {"ArcTan2", 2, 2, R},           {"Hypot", 2, 2, R},             {"IndexOfMenu", 2, 2, I},
    {"Abs", 1, 1, I},               {"Fabs", 1, 1, R},              {"VarExists", 1, 1, F},
    {"EncodeDate", 3, 3, R},        {"EncodeTime", 3, 3, R},        {"DecodeDate", 4, 4, I},
    {"DecodeTime", 4, 4, I},        {"GetYear", 1, 1, I},           {"GetMonth", 1, 1, I},
    {"GetDay", 1, 1, I},            {"GetHour", 1, 1, I},           {"GetMin", 1, 1, I},
    {"GetSec", 1, 1, I},            {"GetWeek", 1, 1, I},           {"GetWeekStr", 1, 1, S},
    {"GetWeekJStr", 1, 1, S},       {"FixStr", 1, 1, S},            {"GetDisplayMode", 5, 5, F},
    {"AddArray", 2, 2, I},          {"InsertArray", 3, 3, I},       {"DeleteArray", 3, 3, I},
    {"InPrimary", 1, 1, F},         {"CopyArray", 2, 2, F},         {"FileExists", 1, 1, F},
    {"LoadTextFile", 2, 2, F},      {"LowerCase", 1, 1, S},         {"UpperCase", 1, 1, S},
    {"ExtractFilePath", 1, 1, S},   {"ExtractFileName", 1, 1, S},   {"ExtractFileExt", 1, 1, S},
    {"IsPathDelimiter", 2, 2, F},   {"AddBackSlash", 1, 1, S},      {"ChangeFileExt", 2, 2, S},
    {"IsDelimiter", 3, 3, F},       {"StringOfChar", 2, 2, S},      {"StringReplace", 3, 5, S},
    {"AssignTemp", 1, 1, F},        {"HanToZen", 1, 1, S},          {"ZenToHan", 1, 1, S},
    // 87-124: the data tables.
    {"DBCreateTable", 2, 2, F},     {"DBSetActive", 1, 1, F},       {"DBAddField", 2, 3, F},
    {"DBSetRecNo", 1, 1, F},        {"DBInsert", 0, -1, F},         {"DBDelete", 0, 0, F},
    {"DBGetInt", 1, 1, I},          {"DBSetInt", 2, 2, F},          {"DBGetFloat", 1, 1, R},
    {"DBSetFloat", 2, 2, F},        {"DBGetBool", 1, 1, F},         {"DBSetBool", 2, 2, F},
    {"DBGetStr", 1, 1, S},          {"DBSetStr", 2, 2, F},          {"DBRecordCount", 0, 1, I},
    {"DBFindFirst", 0, 0, F},       {"DBFindLast", 0, 0, F},        {"DBFindNext", 0, 0, F},
    {"DBFindPrior", 0, 0, F},       {"DBLocate", 2, 4, F},          {"DBLoadTsvFile", 1, 1, F},
    {"DBDirectGetInt", 7, 7, I},    {"DBDirectSetInt", 7, 7, F},    {"DBDirectGetFloat", 7, 7, R},
    {"DBDirectSetFloat", 7, 7, F},  {"DBDirectGetBool", 7, 7, F},   {"DBDirectSetBool", 7, 7, F},
    {"DBDirectGetStr", 7, 7, S},    {"DBDirectSetStr", 7, 7, F},    {"DBCopyTable", 1, 5, F},
    {"DBDeleteTable", 0, 1, F},     {"DBInsertTable", 1, 5, F},     {"DBCopy", 1, 1, F},
    {"DBClearTable", 0, 0, F},      {"DBSort", 2, 2, F},            {"DBGetActive", 0, 0, S},
    {"DBGetRecNo", 0, 1, I},        {"DBClearRecord", 0, 1, F},
    // 125-151.
    {"SetWallPaper", 2, 2, F},      {"Min", 2, 2, I},               {"Max", 2, 2, I},
    {"Fmin", 2, 2, R},              {"Fmax", 2, 2, R},              {"GetVarType", 1, 1, I},
    {"GetEnabled", 2, 2, F},        {"SetEnabled", 3, 3, I},        {"AddDelimiter", 2, 2, S},
    {"ListSaveCaption", 0, 2, I},   {"OpenUrl", 1, 1, F},           {"Calc", 1, 1, S},
    {"SaveScreen", 1, 5, F},        {"StrToIntDef", 2, 2, I},       {"StrToFloatDef", 2, 2, R},
    {"GetVisible", 2, 2, F},        {"SetVisible", 3, 3, I},        {"GetHistoryCount", 1, 1, I},
    {"GetHistoryMaxCount", 1, 1, I}, {"SetHistoryMaxCount", 2, 2, F}, {"GetGroupIndex", 2, 2, I},
    {"GetSelected", 2, 2, F},       {"SetSelected", 3, 3, I},       {"SelectOpenFile", 1, 2, F},
    {"SelectSaveFile", 1, 2, F},    {"SelectDirectory", 1, 1, F},   {"ExtractFile", 1, 3, F},
};

constexpr TSysFuncInfo kNoFunc = {"", 0, 0, PT_NONE};

}  // namespace sysfunc_rows

const TSysFuncInfo& SysFuncInfo(int code) {
  return (code >= 0 && code < kSysFuncCount) ? sysfunc_rows::kFuncTable[code] : sysfunc_rows::kNoFunc;
}

int FindSysFunc(const std::string& name) {
  static const std::unordered_map<std::string_view, int> index = [] {
    std::unordered_map<std::string_view, int> m;
    for (int i = 0; i < kSysFuncCount; ++i) m.emplace(sysfunc_rows::kFuncTable[i].Name, i);
    return m;
  }();
  auto it = index.find(name);
  return it == index.end() ? -1 : it->second;
}

}  // namespace nova
