#pragma once
// The history's functions (GetHistoryCount, GetHistoryMaxCount, SetHistoryMaxCount) and system
// variables (@HistoryCount, @HistoryMaxCount of the default format), bound for as long as the
// history exists.
namespace nova {

class TNovaHistoryFormatManager;
class TSysFuncMan;

void RegisterHistoryFunctions(TSysFuncMan& funcs, TNovaHistoryFormatManager& history);
void UnregisterHistoryFunctions(TSysFuncMan& funcs);

}  // namespace nova
