#pragma once
// The novatool sub-commands. Each takes the arguments after its name (UTF-8) and returns
// the process exit code; errors go to stderr in UTF-8.
#include <string>
#include <vector>

namespace nova::tools {

using Args = std::vector<std::string>;

int CmdList(const Args& args);     // list ARCHIVE
int CmdCat(const Args& args);      // cat ARCHIVE NAME
int CmdExtract(const Args& args);  // extract ARCHIVE DIR
int CmdPack(const Args& args);     // pack DIR -o OUT [--version N] [--exe STUB] [--ext]
int CmdExpr(const Args& args);     // expr [--var ...] [--hex] [--dump-vars] TEXT...
int CmdBuild(const Args& args);    // build SRC -o OUT
int CmdDisasm(const Args& args);   // disasm FILE.nsb | disasm game.dat PAGE
int CmdText(const Args& args);     // text layout [--width W] [--page-height H] ... MARKUP
int CmdImage(const Args& args);    // image info|decode|encode FILE ...
int CmdSave(const Args& args);     // save list|show FILE [--json] [--game GAME]
int CmdFilm(const Args& args);     // film build DESCRIPTION -o FILE.nmt | film dump FILE.nmt

// The bytes of an "install.dat" saying the archive holds the whole game of that project.
std::string InstallRecord(const std::string& utf8ProjectName);
extern const char* const kPackUsage;

}  // namespace nova::tools
