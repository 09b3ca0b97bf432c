# The after-load page: runs first after a load, then the game goes on where it was saved.
VarNew "resumed" int {1}
