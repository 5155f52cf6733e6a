// The end of the program after an error it cannot go on from: the text is
// shown ("Fatal Error" box on Windows, standard error on the host) and the
// process exits with code -1.
#pragma once

[[noreturn]] void FatalError(const char *text);
