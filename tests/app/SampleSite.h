// The sample site that CTest runs for the form tests, driven through its test hooks.
#pragma once

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "NMHTTP.h"
#include "TestSupport.h"

// "http://127.0.0.1:<port>" of the site's HTTP server.
inline std::string SiteAddress() { return "http://127.0.0.1:" + SiteFile("http-port"); }

// Asks the site for Path (a test hook such as "/_test/reset").
inline void SiteGet(const std::string& Path) {
    TNMHTTP Client(nullptr);
    Client.Get(SiteAddress() + Path);
}

// Changes one key of the application data that the site serves, until the next reset.
inline void SetAppData(const std::string& Key, const std::string& Value) {
    std::string Query;
    for (unsigned char C : Value) {
        char Escaped[4];
        std::snprintf(Escaped, sizeof Escaped, "%%%02X", C);
        Query += std::isalnum(C) ? std::string(1, static_cast<char>(C)) : Escaped;
    }
    SiteGet("/_test/set?" + Key + "=" + Query);
}

// The body of the last PUT the site logged after LogMark (a size of SiteLog()), or "<none>".
inline std::string LastPutBody(size_t LogMark) {
    const std::string Log = SiteLog().substr(LogMark);
    std::smatch M;
    std::string Name;
    for (auto It = Log.cbegin(); std::regex_search(It, Log.cend(), M, std::regex("(put-\\d+\\.bin)")); It = M[0].second)
        Name = M[1];
    if (Name.empty()) return "<none>";
    std::ifstream In(std::string(std::getenv("VELMORA_SITE_INFO")) + "\\log\\" + Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}
