#include "editor/editor.h"

int main() { RunEditor(); }
