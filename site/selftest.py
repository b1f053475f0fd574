#!/usr/bin/python3
"""Checks a running sample web site from outside: selftest.py SITE_DIR (BUILD/site-NAME)."""

import ftplib
import io
import os
import socket
import sys
import time
import unittest
import urllib.parse

SITE_DIR = None
APP = "/programs/velmora3/application/appdata.txt"
APPDATA_KEYS = ("GETCLOSED_MSG", "REGISTERED_CATLIST", "SUBMITCLOSED_MSG", "SUBMIT_CGI", "FTP_HOST",
                "FTP_USERID", "FTP_PASSWORD", "FTP_PORT", "FTP_DIRECTORY", "TELLCLOSED_MSG", "TELL_CGI")
GALLERY_KEYS = ("thumb url", "skin url", "courtesy message", "courtesy link message", "courtesy link url",
                "apply url")


def key_value(text, key, index):
    """Reference reader of the key-value texts: the value of occurrence `index` of `key`, or ""."""
    low, k = text.lower(), key.lower()
    count = -1
    for p in range(len(low) - len(k) + 1):
        if not low.startswith(k, p) or (p > 0 and low[p - 1] not in "\r\n"):
            continue
        after = p + len(k)
        if after >= len(low) or low[after] not in " =":
            continue
        count += 1
        if count != index:
            continue
        for q in range(after, len(text)):
            c = text[q]
            if c == "=":
                end = q + 1
                while end < len(text) and text[end] not in ";\r\n":
                    end += 1
                return text[q + 1:end].strip("".join(map(chr, range(33))))
            if c in "\r\n;":
                return ""
        return ""
    return ""


def read_list(text, keys, limit):
    """Entries of a list: dicts of `keys`, up to the first whose first key is empty."""
    entries = []
    for n in range(limit):
        entry = {k: key_value(text, k, n) for k in keys}
        if not entry[keys[0]]:
            break
        entries.append(entry)
    return entries


def port(name):
    with open(os.path.join(SITE_DIR, name)) as f:
        return int(f.read())


def raw_request(data, timeout=10):
    """Sends raw bytes to the HTTP server and returns all it sends back until it closes."""
    with socket.create_connection(("127.0.0.1", port("http-port")), timeout=timeout) as s:
        s.sendall(data)
        out = bytearray()
        while True:
            chunk = s.recv(65536)
            if not chunk:
                return bytes(out)
            out += chunk


def split_reply(reply):
    head, _, body = reply.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return int(lines[0].split()[1]), headers, body


def get(path_or_url):
    path = path_or_url
    if "://" in path_or_url:
        u = urllib.parse.urlsplit(path_or_url)
        path = u.path + ("?" + u.query if u.query else "")
    return split_reply(raw_request(b"GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n" % path.encode("latin-1")))


def pattern(start, count):
    return bytes((start + i) % 251 for i in range(count))


def log_text(name):
    with open(os.path.join(SITE_DIR, "log", name), "rb") as f:
        return f.read().decode("latin-1")


class KeyValueReaderTest(unittest.TestCase):
    """The reference reader itself, on the lines the program's reader must agree on."""

    def test_rules(self):
        self.assertEqual(key_value("Key = Value", "key", 0), "Value")
        self.assertEqual(key_value("  key=v\r\nxkey=v\r\nkey\t=1\r\nkeyx=1", "key", 0), "")
        self.assertEqual(key_value("key more words = x", "key", 0), "x")
        self.assertEqual(key_value("key = a b ; note", "key", 0), "a b")
        self.assertEqual(key_value("key value\r\nother=1\r\nkey=2", "key", 1), "2")
        self.assertEqual(key_value("key value\r\nother=1", "key", 0), "")
        self.assertEqual(key_value("x=1\nkey", "key", 0), "")
        text = "a=1\r\nA = 2\r\na=3"
        self.assertEqual([key_value(text, "a", n) for n in range(4)], ["1", "2", "3", ""])


class ContentTest(unittest.TestCase):
    """The application data and every list and picture they lead to."""

    def appdata(self):
        code, headers, body = get(APP)
        self.assertEqual(code, 200)
        self.assertEqual(int(headers["content-length"]), len(body))
        return body.decode("latin-1")

    def test_appdata_names_the_running_ports(self):
        text = self.appdata()
        site = "http://127.0.0.1:%d/" % port("http-port")
        lines = text.split("\r\n")
        for key in APPDATA_KEYS:
            self.assertEqual(sum(1 for l in lines if l.startswith(key + "=")), 1, key)
        values = {k: key_value(text, k, 0) for k in APPDATA_KEYS}
        for key in ("REGISTERED_CATLIST", "SUBMIT_CGI", "TELL_CGI"):
            self.assertTrue(values[key].startswith(site), values[key])
        self.assertEqual(values["FTP_HOST"], "127.0.0.1")
        self.assertEqual(values["FTP_PORT"], str(port("ftp-port")))
        self.assertEqual((values["FTP_USERID"], values["FTP_PASSWORD"]), ("velmora", "skins"))
        self.assertEqual([values[k] for k in ("GETCLOSED_MSG", "SUBMITCLOSED_MSG", "TELLCLOSED_MSG")], ["", "", ""])
        self.assertNotRegex(text, r"@[A-Z_]+@")   # every placeholder filled in
        code, _, page = get(APP.replace("appdata.txt", "applyskin.html"))
        self.assertEqual(code, 200)
        self.assertIn(b"<html>", page)

    def check_picture(self, url, thumb):
        code, headers, data = get(url)
        self.assertEqual(code, 200, url)
        self.assertEqual(int(headers["content-length"]), len(data), url)
        if data[:2] == b"BM":
            width = int.from_bytes(data[18:22], "little")
            height = int.from_bytes(data[22:26], "little", signed=True)
        else:
            self.assertEqual(data[:2], b"\xff\xd8", url)
            i = 2
            while data[i + 1] not in (0xC0, 0xC1, 0xC2):   # the frame header holds the size
                i += 2 + int.from_bytes(data[i + 2:i + 4], "big")
            height = int.from_bytes(data[i + 5:i + 7], "big")
            width = int.from_bytes(data[i + 7:i + 9], "big")
        self.assertEqual((width, height), (398, 58) if thumb else (1000, 120), url)

    def test_lists_parse_and_every_picture_is_served(self):
        catlist = key_value(self.appdata(), "REGISTERED_CATLIST", 0)
        code, _, body = get(catlist)
        self.assertEqual(code, 200)
        categories = read_list(body.decode("latin-1"), ("category", "URL"), 102)
        self.assertGreaterEqual(len(categories), 5)
        self.assertTrue(any("&" in c["category"] and " " in c["category"] for c in categories))
        sizes = []
        pictures = set()
        for c in categories:
            code, _, body = get(c["URL"])
            self.assertEqual(code, 200, c)
            text = body.decode("latin-1")
            entries = read_list(text, GALLERY_KEYS, 30)
            # Every skin block carries all six keys, so no key's values shift onto another skin.
            for key in GALLERY_KEYS:
                self.assertEqual(sum(1 for l in text.split("\r\n") if l.lower().startswith(key + "=")),
                                 len(entries), (c["category"], key))
            for e in entries:
                self.assertTrue(e["skin url"], e)
                self.assertEqual(bool(e["courtesy link message"]), bool(e["courtesy link url"]), e)
                pictures.add((e["thumb url"], True))
                pictures.add((e["skin url"], False))
                if e["apply url"]:
                    self.assertEqual(get(e["apply url"])[0], 200, e)
            sizes.append(len(entries))
        self.assertGreater(max(sizes), 9)
        for url, thumb in sorted(pictures):
            self.check_picture(url, thumb)

    def test_lists_for_tests(self):
        base = "/programs/velmora3/gallery/test/"
        self.assertEqual(len(read_list(get(base + "categories.txt")[2].decode("latin-1"), ("category", "URL"), 200)),
                         150)
        one = read_list(get(base + "one-category.txt")[2].decode("latin-1"), ("category", "URL"), 102)
        self.assertEqual(len(one), 1)
        skins = read_list(get(one[0]["URL"])[2].decode("latin-1"), GALLERY_KEYS, 30)
        self.assertEqual(len(skins), 7)
        self.assertEqual(get(skins[6]["skin url"])[0], 200)

    def test_set_and_reset_change_the_appdata(self):
        try:
            self.assertEqual(get("/_test/set?GETCLOSED_MSG=Closed%20today%2C%20sorry!&FTP_PORT=")[0], 200)
            text = self.appdata()
            self.assertEqual(key_value(text, "GETCLOSED_MSG", 0), "Closed today, sorry!")
            self.assertEqual(key_value(text, "FTP_PORT", 0), "")
            self.assertEqual(text.count("GETCLOSED_MSG"), 1)
            self.assertEqual(get("/_test/set?NO_SUCH_KEY=1")[0], 400)
        finally:
            self.assertEqual(get("/_test/reset")[0], 200)
        text = self.appdata()
        self.assertEqual(key_value(text, "GETCLOSED_MSG", 0), "")
        self.assertEqual(key_value(text, "FTP_PORT", 0), str(port("ftp-port")))


class HooksTest(unittest.TestCase):
    """The misbehaving replies."""

    def test_status_and_missing_files(self):
        for code in (200, 404, 500, 503):
            got, _, body = get("/_test/status/%d" % code)
            self.assertEqual(got, code)
            self.assertTrue(body)
        self.assertEqual(get("/no/such/file.txt")[0], 404)
        self.assertEqual(get("/../../etc/passwd")[0], 404)

    def test_redirects(self):
        site = "http://127.0.0.1:%d" % port("http-port")
        path = "/_test/redirect/3/programs/velmora3/application/appdata.txt"
        for n in (2, 1, 0):
            code, headers, _ = get(path)
            self.assertEqual(code, 302)
            path = headers["location"]
            self.assertEqual(path, site + "/_test/redirect/%d/programs/velmora3/application/appdata.txt" % n)
        code, _, body = get(path)
        self.assertEqual(code, 200)
        self.assertIn(b"REGISTERED_CATLIST=", body)
        code, headers, _ = get("/_test/loop")
        self.assertEqual((code, headers["location"]), (302, site + "/_test/loop"))
        code, headers, _ = get("/_test/redirect-to?url=" + urllib.parse.quote("http://127.0.0.1:1/x?a=b", safe=""))
        self.assertEqual((code, headers["location"]), (302, "http://127.0.0.1:1/x?a=b"))

    def test_broken_bodies(self):
        code, headers, body = get("/_test/nolength/5000")
        self.assertEqual(code, 200)
        self.assertNotIn("content-length", headers)
        self.assertEqual(body, pattern(0, 5000))
        code, headers, body = get("/_test/cut/4001")
        self.assertEqual((code, headers["content-length"], body), (200, "4001", pattern(0, 2000)))
        self.assertEqual(raw_request(b"GET /_test/empty HTTP/1.0\r\n\r\n"), b"")

    def test_slow_and_big(self):
        start = time.monotonic()
        code, headers, body = get("/_test/slow/5000/100")
        self.assertGreaterEqual(time.monotonic() - start, 0.39)   # 5 pieces, 4 pauses
        self.assertEqual((code, headers["content-length"], body), (200, "5000", pattern(0, 5000)))
        code, headers, body = get("/_test/big/3")
        self.assertEqual((code, int(headers["content-length"])), (200, 3 << 20))
        self.assertEqual(len(body), 3 << 20)
        self.assertEqual(body[:300000], pattern(0, 300000))
        self.assertEqual(body[-1000:], pattern((3 << 20) - 1000, 1000))

    def test_endless_and_padded(self):
        for path, length in (("/_test/endless", None), ("/_test/endless/107374182400", "107374182400")):
            with socket.create_connection(("127.0.0.1", port("http-port")), timeout=10) as s:
                s.sendall(b"GET %s HTTP/1.0\r\n\r\n" % path.encode())
                data = b""
                while len(data) < 1 << 20:
                    data += s.recv(65536)
            code, headers, body = split_reply(data)
            self.assertEqual((code, headers.get("content-length")), (200, length))
            self.assertEqual(body[:100000], pattern(0, 100000))
        lists = "/programs/velmora3/gallery/"
        for size in (262144, 262145):
            code, _, body = get("/_test/padded/%d%scategories.txt" % (size, lists))
            self.assertEqual((code, len(body)), (200, size))
        self.assertEqual(read_list(body.decode("latin-1"), ("category", "URL"), 102),
                         read_list(get(lists + "categories.txt")[2].decode("latin-1"), ("category", "URL"), 102))
        self.assertEqual(get("/_test/padded/10%scategories.txt" % lists)[0], 400)

    def test_echo_returns_the_exact_request(self):
        request = (b"PUT /_test/echo HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: www/source, text/html\r\n"
                   b"Content-type: application/x-www-form-urlencoded\r\nContent-Length: 14\r\n\r\n"
                   b"a=1&b=\x00\r\n\xff end")
        code, _, body = split_reply(raw_request(request))
        self.assertEqual((code, body), (200, request))


class ReceiversTest(unittest.TestCase):
    """What the submit and tell-a-friend addresses and the FTP server receive."""

    def test_puts_are_answered_and_logged(self):
        appdata = get(APP)[2].decode("latin-1")
        for key, data in (("SUBMIT_CGI", b"name=Ann&email=ann@example.com&url=http://&skin=C:\\a.jpg"),
                          ("TELL_CGI", b"friendemail=bo@example.com&yourname=Ann&message=Hi\nthere")):
            before = set(os.listdir(os.path.join(SITE_DIR, "log")))
            path = urllib.parse.urlsplit(key_value(appdata, key, 0)).path
            request = (b"PUT %s HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-type: application/x-www-form-urlencoded\r\n"
                       b"Content-Length: %d\r\n\r\n" % (path.encode(), len(data))) + data
            code, headers, body = split_reply(raw_request(request))
            self.assertEqual(code, 200)
            self.assertTrue(body.strip())
            new = set(os.listdir(os.path.join(SITE_DIR, "log"))) - before
            self.assertEqual(len(new), 1)
            with open(os.path.join(SITE_DIR, "log", new.pop()), "rb") as f:
                self.assertEqual(f.read(), data)
            self.assertIn("PUT %s HTTP/1.0\n" % path, log_text("requests.log"))

    def test_ftp_upload_in_active_mode(self):
        appdata = get(APP)[2].decode("latin-1")
        ftp = ftplib.FTP()
        ftp.connect("127.0.0.1", int(key_value(appdata, "FTP_PORT", 0)), timeout=10)
        ftp.login(key_value(appdata, "FTP_USERID", 0), key_value(appdata, "FTP_PASSWORD", 0))
        ftp.set_pasv(False)
        with self.assertRaises(ftplib.error_perm):
            ftp.cwd("/private")
        ftp.cwd(key_value(appdata, "FTP_DIRECTORY", 0))
        data = bytes(range(256)) * 40 + b"\r\n\x1a"
        ftp.voidcmd("TYPE I")
        ftp.storbinary("STOR selftest skin.bmp", io.BytesIO(data))
        ftp.quit()
        folder = key_value(appdata, "FTP_DIRECTORY", 0).strip("/")
        with open(os.path.join(SITE_DIR, "ftp", folder, "selftest skin.bmp"), "rb") as f:
            self.assertEqual(f.read(), data)
        log = log_text("ftp.log")
        self.assertRegex(log, r"> CWD /private\n\d+ < 550 ")
        self.assertIn("> PORT 127,0,0,1,", log)
        self.assertIn("> STOR selftest skin.bmp\n", log)
        self.assertIn("= received /%s/selftest skin.bmp %d bytes" % (folder, len(data)), log)

    def test_ftp_trickled_replies(self):
        appdata = get(APP)[2].decode("latin-1")
        self.assertEqual(get("/_test/ftptrickle/noop/0")[0], 400)
        log = os.path.join(SITE_DIR, "log", "ftp.log")
        mark = os.path.getsize(log) if os.path.exists(log) else 0
        for command in ("NOOP", "QUIT"):
            self.assertEqual(get("/_test/ftptrickle/%s/5" % command)[0], 200)
        try:
            ftp = ftplib.FTP()
            ftp.connect("127.0.0.1", int(key_value(appdata, "FTP_PORT", 0)), timeout=10)
            ftp.login(key_value(appdata, "FTP_USERID", 0), key_value(appdata, "FTP_PASSWORD", 0))
            self.assertEqual(ftp.voidcmd("NOOP"), "200-Answered one byte at a time (test hook).\n200 Done.")
            self.assertEqual(ftp.quit(), "221-Answered one byte at a time (test hook).\n221 Done.")
        finally:
            get("/_test/reset")
        self.assertEqual(log_text("ftp.log")[mark:].count("= trickle done"), 2)


if __name__ == "__main__":
    SITE_DIR = sys.argv.pop(1)
    unittest.main(verbosity=2)
