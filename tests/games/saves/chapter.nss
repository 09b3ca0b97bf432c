# Saved inside a called page: the load must come back here with the local and the call.
VarNew "local" int {5} local
Calc {score = score * 2}
GameSave {1} "resume.nsb" 0 {"chapter one"}
Calc {@Result = local + score}
