// The plain parsers of the HTTP and FTP clients: addresses, request bytes, reply heads, FTP replies.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FtpReply.h"
#include "HttpReply.h"
#include "ReplyInPieces.h"

TEST(HttpAddress, PathPortAndHostRules) {
    const std::string Long(300, 'a');
    struct {
        std::string Url;
        THttpAddress::TError Error;
        std::string Host;
        int Port;
        std::string Path;
    } Cases[] = {
        {"http://example.com/a/b.txt?x=1", THttpAddress::None, "example.com", 80, "/a/b.txt?x=1"},
        {"http://example.com", THttpAddress::None, "example.com", 80, "/"},
        {"http://example.com/", THttpAddress::None, "example.com", 80, "/"},
        {"http://127.0.0.1:8080/x", THttpAddress::None, "127.0.0.1", 8080, "/x"},
        {"http://host:/x", THttpAddress::None, "host", 80, "/x"},
        {"example.com/dir/f", THttpAddress::None, "example.com", 80, "/dir/f"},  // no "//"
        {"example.com:81", THttpAddress::None, "example.com", 81, "/"},
        {"http://h//double", THttpAddress::None, "h", 80, "//double"},
        {"http://h/" + Long, THttpAddress::None, "h", 80, "/" + Long.substr(0, 255)},
        {"", THttpAddress::EmptyUrl, "", 80, "/"},
        {"   ", THttpAddress::EmptyUrl, "", 80, "/"},
        {"https://example.com/", THttpAddress::SecureScheme, "", 80, "/"},
        {"HTTPS://example.com/", THttpAddress::SecureScheme, "", 80, "/"},
        {"http:///path", THttpAddress::NoHost, "", 80, "/path"},
        {"http://h:99999/", THttpAddress::BadPort, "", 80, "/"},
        {"http://h:8o/", THttpAddress::BadPort, "", 80, "/"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Url);
        const THttpAddress A = SplitHttpAddress(Case.Url);
        EXPECT_EQ(A.Error, Case.Error);
        if (Case.Error != THttpAddress::None) continue;
        EXPECT_EQ(A.Host, Case.Host);
        EXPECT_EQ(A.Port, Case.Port);
        EXPECT_EQ(A.Path, Case.Path);
        EXPECT_LE(A.Path.size(), 256u);
    }
}

// Only addresses on the web are followed: those of another scheme are not resolved at all.
TEST(HttpAddress, LocationResolvedAgainstRequestedAddress) {
    struct {
        const char* Base;
        const char* Location;
        const char* Expected;  // nullptr: not followed
    } Cases[] = {
        {"http://h:81/a/b", "/c/d", "http://h:81/c/d"},
        {"http://h:81/a/b", "http://other/x", "http://other/x"},
        {"http://h:81/a/b", " HTTP://other/x", "HTTP://other/x"},
        {"http://h/a/b?q=/z", "c", "http://h/a/c"},
        {"http://h", "c", "http://h/c"},
        {"http://h/a", "//g/x", "http://g/x"},
        {"http://h/a", " /sp ", "http://h/sp"},
        {"http://h/a", "x/y:z", "http://h/x/y:z"},
        {"http://h/a", "ftp://h/x", nullptr},
        {"http://h/a", "https://h/x", nullptr},
        {"http://h/a", "file:C:/boot.ini", nullptr},
        {"http://h/a", "C:\\boot.ini", nullptr},
        {"http://h/a", "mailto:a@h", nullptr},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Base) + " + " + Case.Location);
        EXPECT_EQ(IsHttpLocation(Case.Location), Case.Expected != nullptr);
        if (Case.Expected) EXPECT_EQ(ResolveLocation(Case.Base, Case.Location), Case.Expected);
    }
}

TEST(HttpRequest, GetAndPutBytes) {
    const std::string Fixed =
        "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
        "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
        "Content-type: application/x-www-form-urlencoded\r\n";
    EXPECT_EQ(BuildHttpRequest("GET", "h", "/x", "", false), "GET /x HTTP/1.0\r\nHost: h\r\n" + Fixed + "\r\n");
    const std::string Data("a=b&c=d\r\n\0\xff", 11);
    EXPECT_EQ(BuildHttpRequest("PUT", "h", "/s", Data, true),
              "PUT /s HTTP/1.0\r\nHost: h\r\n" + Fixed + "Content-Length: 11\r\n\r\n" + Data);
    EXPECT_EQ(BuildHttpRequest("PUT", "h", "/", "", true),
              "PUT / HTTP/1.0\r\nHost: h\r\n" + Fixed + "Content-Length: 0\r\n\r\n");
}

TEST(HttpReplyHead, EndOfHeadAndFields) {
    EXPECT_EQ(FindReplyHeadEnd("HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody"), 25u);
    EXPECT_EQ(FindReplyHeadEnd("HTTP/1.0 200 OK\nA: b\n\nbody"), 22u);
    EXPECT_EQ(FindReplyHeadEnd("HTTP/1.0 200 OK\r\nA: b\r\n"), std::string::npos);
    EXPECT_EQ(FindReplyHeadEnd("HTTP/1.0 200 OK\r\nA: b\r\n\r"), std::string::npos);
    EXPECT_EQ(FindReplyHeadEnd(""), std::string::npos);
    EXPECT_EQ(FindReplyHeadEnd("\r\nrest"), 2u);

    struct {
        const char* Head;
        int Status;
        long long Length;
        const char* Location;
    } Cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 12\r\n\r\n", 200, 12, ""},
        {"HTTP/1.1 302 Found\r\ncontent-length:0\r\nLOCATION:  /x/y \r\n\r\n", 302, 0, "/x/y"},
        {"HTTP/1.0 404\r\n\r\n", 404, -1, ""},
        {"HTTP/1.0   500   Oops\n\n", 500, -1, ""},
        {"HTTP/1.0\r\n\r\n", 0, -1, ""},
        {"HTTP/1.0 OK 200\r\n\r\n", 0, -1, ""},
        {"", 0, -1, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 12x\r\n\r\n", 200, -1, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: -3\r\n\r\n", 200, -1, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", 200, -1, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 7\r\n\r\n", 200, 5, ""},
        {"HTTP/1.0 200 OK\r\nno colon line\r\nContent-Length: 3\r\n\r\nContent-Length: 9\r\n", 200, 3, ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Head);
        const THttpReplyHead Head = ParseReplyHead(Case.Head);
        EXPECT_EQ(Head.StatusCode, Case.Status);
        EXPECT_EQ(Head.ContentLength, Case.Length);
        EXPECT_EQ(Head.Location, Case.Location);
    }
}

// What of the bytes that arrive belongs to a body of a stated length (or none) under a limit.
TEST(HttpReplyBody, NeverPastItsLengthNorBeyondItsLimit) {
    const struct {
        long long Length, Limit, Received;
        size_t Count, Take;
        bool TooLarge, Complete;
    } Cases[] = {
        {1000, 5000, 0, 0, 0, false, false},        // before any byte: nothing to say yet
        {1000, 5000, 0, 4000, 1000, false, true},   // what follows the length is not the body
        {1000, 5000, 600, 300, 300, false, false},
        {0, 5000, 0, 0, 0, false, true},            // an empty body is complete at once
        {5000, 5000, 0, 0, 0, false, false},        // a length at the limit is taken
        {5001, 5000, 0, 0, 0, true, false},         // one beyond it is refused before any byte
        {-1, 5000, 4000, 1000, 1000, false, false},  // without a length, up to the limit
        {-1, 5000, 4000, 1001, 0, true, false},     // and not a byte past it
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(testing::Message() << "length " << Case.Length << ", limit " << Case.Limit << ", "
                                        << Case.Received << " + " << Case.Count);
        const TBodyPiece Piece = TakeBodyPiece(Case.Length, Case.Limit, Case.Received, Case.Count);
        EXPECT_EQ(Piece.Take, Case.Take);
        EXPECT_EQ(Piece.TooLarge, Case.TooLarge);
        EXPECT_EQ(Piece.Complete, Case.Complete);
    }
}

TEST(FtpReplies, SingleAndMultiLineInAnyPieces) {
    const std::string Stream =
        "220 Welcome\r\n"
        "230-Line one\r\n"
        "230 End\r\n"
        "211-Features:\r\n"
        " 200 indented code is text\r\n"
        "211-still text\r\n"
        "211 End\r\n"
        "noise\r\n"
        "150\n"
        "550 No such directory.\r\n";
    // Fed whole, and byte by byte: the same replies.
    for (size_t Step : {Stream.size(), size_t(1), size_t(7)}) {
        SCOPED_TRACE(Step);
        TFtpReplyReader Reader;
        std::vector<TFtpReply> Replies;
        for (size_t I = 0; I < Stream.size(); I += Step) {
            Reader.Feed(Stream.data() + I, std::min(Step, Stream.size() - I));
            TFtpReply Reply;
            while (Reader.Next(Reply)) Replies.push_back(Reply);
        }
        ASSERT_EQ(Replies.size(), 5u);
        EXPECT_EQ(Replies[0].Code, 220);
        EXPECT_EQ(Replies[0].Text, "220 Welcome");
        EXPECT_EQ(Replies[1].Code, 230);
        EXPECT_EQ(Replies[1].Text, "230-Line one\r\n230 End");
        EXPECT_EQ(Replies[2].Code, 211);
        EXPECT_EQ(Replies[2].Text, "211-Features:\r\n 200 indented code is text\r\n211-still text\r\n211 End");
        EXPECT_EQ(Replies[3].Code, 150);
        EXPECT_EQ(Replies[4].Text, "550 No such directory.");
    }
}

TEST(FtpReplies, IncompleteAndOversizedReplies) {
    TFtpReplyReader Reader;
    TFtpReply Reply;
    Reader.Feed("226-Transfer\r\n226 done", 22);  // last line not ended yet
    EXPECT_FALSE(Reader.Next(Reply));
    Reader.Feed("\r\n", 2);
    ASSERT_TRUE(Reader.Next(Reply));
    EXPECT_EQ(Reply.Code, 226);
    const std::string Endless = "123-start\r\n" + std::string(TFtpReplyReader::kMaxReplyBytes, 'x');
    Reader.Feed(Endless.data(), Endless.size());
    EXPECT_FALSE(Reader.Next(Reply));
    EXPECT_TRUE(Reader.Overflowed());
}

// A peer that sends a reply a byte at a time (or a few) gets it read in time linear in its length:
// both readers go on where they stopped, and count the bytes they look at.
TEST(SlowReplies, EveryByteIsLookedAtABoundedNumberOfTimes) {
    std::string Head = "HTTP/1.0 200 OK\r\n";
    while (Head.size() < 65000) Head += "X-Filler: " + std::string(70, 'f') + "\r\n";
    Head += "\r\n";
    std::string Ftp = "211-Features:\r\n";
    while (Ftp.size() < 65000) Ftp += " " + std::string(70, 'f') + "\r\n";
    Ftp += "211 End\r\n";
    for (size_t Step : {size_t(1), size_t(3), size_t(1000)}) {
        SCOPED_TRACE(Step);
        THeadEndFinder Finder;
        EXPECT_EQ(Head.size(), FindHeadEndInPieces(Head, Step, Finder));
        EXPECT_LE(Finder.Visited(), Head.size());

        TFtpReplyReader Reader;
        TFtpReply Reply;
        bool Complete = false;
        for (size_t I = 0; I < Ftp.size() && !Complete; I += Step) {
            Reader.Feed(Ftp.data() + I, std::min(Step, Ftp.size() - I));
            Complete = Reader.Next(Reply);
        }
        ASSERT_TRUE(Complete);
        EXPECT_EQ(Ftp.size() - 2, Reply.Text.size());
        EXPECT_LE(Reader.Visited(), Ftp.size());
    }
}

TEST(FtpPortArgument, SixDecimalBytesHighFirst) {
    EXPECT_EQ(FormatPortArgument(0x7F000001, 0xC812), "127,0,0,1,200,18");
    EXPECT_EQ(FormatPortArgument(0xC0A8FF0A, 21), "192,168,255,10,0,21");
    EXPECT_EQ(FormatPortArgument(0, 65535), "0,0,0,0,255,255");
}
