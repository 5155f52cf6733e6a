// How a target text is opened with the shell: what kind of address it is and
// the file, parameters and working folder handed to the shell for it. Pure
// text and disk-existence tests, so the decisions run natively too.
#pragma once

#include "CString.h"

// Service types of an address: the URL parser's own types, and these for
// texts it does not take as a URL or that it knows by scheme only.
enum {
    URL_KIND_FTP = 1,
    URL_KIND_GOPHER = 2,
    URL_KIND_HTTP = 3,
    URL_KIND_UNKNOWN = 4096,
    URL_KIND_FILE = 4097,
    URL_KIND_MAILTO = 4098,
    URL_KIND_NEWS = 4101,
    URL_KIND_NNTP = 4102,
    URL_KIND_TELNET = 4104,
    URL_KIND_HTTPS = 4107,
};

// The kind of a text: a dotted name without a scheme counts as a web address;
// a drive path is a file; URL_KIND_UNKNOWN when it is no address at all.
int GetUrlKind(const char *text);

struct ShellOpenRequest {
    CString file;
    CString parameters;
    CString folder;
};

// The target trimmed; a path that exists on disk is opened as one target,
// whatever its characters; else an e-mail address gets "mailto:" in front,
// and anything else is split into program and arguments. A file target with
// no working folder runs in its own folder.
ShellOpenRequest PrepareShellOpen(const char *target, const char *workingFolder);
