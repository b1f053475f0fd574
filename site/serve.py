#!/usr/bin/python3
"""The sample web site: an HTTP server and an FTP server on 127.0.0.1 in one process.

Run with Debian's /usr/bin/python3 (pyftpdlib is installed for it only). See site/README.md.

  serve.py --root DIR [--http-port N] [--ftp-port N] --ftp-root DIR
           [--ftp-user USER] [--ftp-password PW] --log DIR

Port 0 picks a free port. Before "ready" the process prints "http-port N" and "ftp-port N" with
the ports it listens on; "ready" follows once both servers listen.
"""

import argparse
import http.server
import os
import re
import signal
import socket
import sys
import threading
import time
import urllib.parse

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import ActiveDTP, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

HOST = "127.0.0.1"

# The keys of the application-data file that /_test/set may change.
APPDATA_KEYS = (
    "GETCLOSED_MSG", "REGISTERED_CATLIST", "SUBMITCLOSED_MSG", "SUBMIT_CGI", "FTP_HOST", "FTP_USERID",
    "FTP_PASSWORD", "FTP_PORT", "FTP_DIRECTORY", "TELLCLOSED_MSG", "TELL_CGI",
)
APPDATA_PATH = "/programs/velmora3/application/appdata.txt"
SUBMIT_PATH = "/cgi-bin/velmora3/submit.cgi"
TELL_PATH = "/cgi-bin/velmora3/tell.cgi"
FTP_UPLOAD_DIR = "incoming"     # FTP_DIRECTORY of the application data
FTP_FORBIDDEN_DIR = "private"   # exists, but the user may not change into it

SUBMIT_REPLY = (b"\r\n  Thank you! Your skin has been received.\r\n\r\n"
                b"It will appear in the gallery once we have looked at it.\r\n\r\n")
TELL_REPLY = b"\r\nThank you! Your friend will get your message shortly.\r\n"

CONTENT_TYPES = {
    ".txt": "text/plain", ".html": "text/html", ".htm": "text/html", ".jpg": "image/jpeg",
    ".jpeg": "image/jpeg", ".bmp": "image/bmp", ".png": "image/png", ".gif": "image/gif",
}
# Files whose text names the site's own addresses: the placeholders are replaced when served.
TEMPLATE_SUFFIXES = (".txt", ".html")


def pattern_bytes(start, count):
    """Bytes start .. start+count-1 of the test pattern: byte i has the value i mod 251."""
    block = bytes(i % 251 for i in range(251 * 261))   # 65511 bytes, a whole number of periods
    out = bytearray()
    offset = start % 251
    while len(out) < count:
        piece = block[offset:offset + count - len(out)]
        out += piece
        offset = 0
    return bytes(out)


class Site:
    """What the two servers share: ports, FTP account, log folder and the test overrides."""

    def __init__(self, args):
        self.root = os.path.realpath(args.root)
        self.log_dir = args.log
        self.ftp_root = os.path.realpath(args.ftp_root)
        self.ftp_user = args.ftp_user
        self.ftp_password = args.ftp_password
        self.http_port = 0
        self.ftp_port = 0
        self.lock = threading.Lock()
        self.overrides = {}
        self.pace = 0.0   # seconds between 1024-byte pieces of a served file (/_test/pace)
        self.ftp_refused = set()  # FTP commands answered 502 (/_test/ftprefuse)
        self.ftp_silent = set()   # FTP commands never answered (/_test/ftpsilent)
        self.ftp_trickled = {}    # FTP command -> seconds between the bytes of its reply (/_test/ftptrickle)
        self.ftp_preliminary = set()  # FTP commands whose reply a 120 comes before (/_test/ftppreliminary)
        self.ftp_stranger = False     # a stranger connects to each PORT address first (/_test/ftpstranger)
        self.request_count = 0
        self.put_count = 0

    def substitute(self, data):
        text = data.decode("latin-1")
        for token, value in (("@SITE@", "http://%s:%d" % (HOST, self.http_port)),
                             ("@HTTP_PORT@", str(self.http_port)), ("@FTP_PORT@", str(self.ftp_port)),
                             ("@FTP_USER@", self.ftp_user), ("@FTP_PASSWORD@", self.ftp_password)):
            text = text.replace(token, value)
        return text.encode("latin-1")

    def appdata(self, data):
        """The application-data file with the overrides of /_test/set applied."""
        lines = data.decode("latin-1").split("\r\n")
        with self.lock:
            overrides = dict(self.overrides)
        for key, value in overrides.items():
            line = "%s=%s" % (key, value)
            for i, old in enumerate(lines):
                if re.match(re.escape(key) + r"[ =]", old, re.IGNORECASE):
                    lines[i] = line
                    break
            else:
                lines.insert(len(lines) - 1 if lines and lines[-1] == "" else len(lines), line)
        return "\r\n".join(lines).encode("latin-1")

    def log_request(self, client, raw_head, body):
        with self.lock:
            self.request_count += 1
            n = self.request_count
            put_n = None
            if raw_head.startswith(b"PUT "):
                self.put_count += 1
                put_n = self.put_count
            record = ["--- request %d from %s:%d" % (n, client[0], client[1])]
            record.append(raw_head.decode("latin-1").replace("\r\n", "\n").rstrip("\n"))
            record.append("")
            if body:
                record.append("--- body, %d bytes%s" % (len(body), ", put-%d.bin" % put_n if put_n else ""))
                record.append(body.decode("latin-1"))
            record.append("--- end %d" % n)
            with open(os.path.join(self.log_dir, "requests.log"), "a", encoding="latin-1") as f:
                f.write("\n".join(record) + "\n\n")
            if put_n is not None:
                with open(os.path.join(self.log_dir, "put-%d.bin" % put_n), "wb") as f:
                    f.write(body)


class RecordingReader:
    """Wraps the request stream and keeps every byte read from it."""

    def __init__(self, stream):
        self.stream = stream
        self.data = bytearray()

    def readline(self, limit=-1):
        line = self.stream.readline(limit)
        self.data += line
        return line

    def read(self, n=-1):
        chunk = self.stream.read(n)
        self.data += chunk
        return chunk

    def __getattr__(self, name):
        return getattr(self.stream, name)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "VelmoraSample/1.0"
    site = None   # set by main

    def setup(self):
        super().setup()
        self.recorder = RecordingReader(self.rfile)
        self.rfile = self.recorder

    def log_message(self, format, *args):
        pass   # requests.log is the record

    def handle_one_request(self):
        self.logged = False
        super().handle_one_request()
        if not self.logged and self.recorder.data.strip():
            # A request that did not parse (answered 400 or 414 by the base class) is recorded too.
            self.site.log_request(self.client_address, bytes(self.recorder.data), b"")

    # One handler for every method: what matters is the path.
    def do_GET(self):
        self.dispatch()

    do_HEAD = do_PUT = do_POST = do_DELETE = do_GET

    def dispatch(self):
        raw_head = bytes(self.recorder.data)
        body = b""
        length = self.headers.get("Content-Length")
        if length is not None and length.strip().isdigit():
            body = self.rfile.read(int(length))
        self.raw_request = raw_head + body
        self.site.log_request(self.client_address, raw_head, body)
        self.logged = True

        url = urllib.parse.urlsplit(self.path)
        path = url.path
        if path.startswith("/_test/"):
            self.test_hook(path[len("/_test/"):], url.query)
        elif path in (SUBMIT_PATH, TELL_PATH):
            if self.command in ("PUT", "POST"):
                self.reply(200, SUBMIT_REPLY if path == SUBMIT_PATH else TELL_REPLY)
            else:
                self.reply(405, b"This address takes the form data by PUT.\r\n")
        elif self.command in ("GET", "HEAD"):
            self.serve_file(path)
        else:
            self.reply(405, b"Method not allowed here.\r\n")

    def reply(self, code, body, content_type="text/plain", length=True, headers=()):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def redirect(self, location):
        self.reply(302, b"Moved to " + location.encode("latin-1") + b"\r\n", headers=[("Location", location)])

    def file_data(self, path):
        """The bytes the site serves at path, and their suffix; (None, None) when there is no such file."""
        rel = urllib.parse.unquote(path, encoding="latin-1").lstrip("/")
        full = os.path.realpath(os.path.join(self.site.root, rel))
        if not (full == self.site.root or full.startswith(self.site.root + os.sep)) or not os.path.isfile(full):
            return None, None
        with open(full, "rb") as f:
            data = f.read()
        suffix = os.path.splitext(full)[1].lower()
        if suffix in TEMPLATE_SUFFIXES:
            data = self.site.substitute(data)
        if path == APPDATA_PATH:
            data = self.site.appdata(data)
        return data, suffix

    def serve_file(self, path):
        data, suffix = self.file_data(path)
        if data is None:
            self.reply(404, b"Not found: " + path.encode("latin-1") + b"\r\n")
            return
        with self.site.lock:
            pace = self.site.pace
        if not pace or self.command == "HEAD":
            self.reply(200, data, CONTENT_TYPES.get(suffix, "application/octet-stream"))
            return
        self.send_response(200)
        self.send_header("Content-Type", CONTENT_TYPES.get(suffix, "application/octet-stream"))
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        for start in range(0, len(data), 1024):
            if start:
                time.sleep(pace)
            self.wfile.write(data[start:start + 1024])

    def test_hook(self, rest, query):
        parts = rest.split("/")
        name = parts[0]
        try:
            if name == "status" and len(parts) == 2:
                code = int(parts[1])
                if not 100 <= code <= 999:
                    raise ValueError
                body = b"" if code < 200 or code in (204, 304) else b"Status %d\r\n" % code
                self.reply(code, body)
            elif name == "redirect" and len(parts) >= 2:
                n = int(parts[1])
                target = "/".join(parts[2:])
                if n > 0:
                    self.redirect("http://%s:%d/_test/redirect/%d/%s%s" % (
                        HOST, self.site.http_port, n - 1, target, "?" + query if query else ""))
                else:
                    self.path = "/" + target + ("?" + query if query else "")
                    self.dispatch_inner()
            elif name == "loop" and len(parts) == 1:
                self.redirect("http://%s:%d/_test/loop" % (HOST, self.site.http_port))
            elif name == "redirect-to" and len(parts) == 1:
                url = urllib.parse.parse_qs(query, keep_blank_values=True).get("url", [""])[0]
                if not url:
                    raise ValueError
                self.redirect(url)
            elif name == "nolength" and len(parts) == 2:
                self.reply(200, pattern_bytes(0, int(parts[1])), "application/octet-stream", length=False)
            elif name == "cut" and len(parts) == 2:
                total = int(parts[1])
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(total))
                self.end_headers()
                self.wfile.write(pattern_bytes(0, total // 2))
            elif name == "empty" and len(parts) == 1:
                self.close_connection = True   # nothing at all goes out
            elif name == "slow" and len(parts) == 3:
                total, pause = int(parts[1]), int(parts[2]) / 1000.0
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(total))
                self.end_headers()
                for start in range(0, total, 1024):
                    if start:
                        time.sleep(pause)
                    self.wfile.write(pattern_bytes(start, min(1024, total - start)))
            elif name == "big" and len(parts) == 2:
                total = int(parts[1]) * 1024 * 1024
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(total))
                self.end_headers()
                block = pattern_bytes(0, 251 * 1044)   # 262044 bytes, a whole number of periods
                sent = 0
                while sent < total:
                    piece = block[:total - sent]
                    self.wfile.write(piece)
                    sent += len(piece)
            elif name == "endless" and len(parts) in (1, 2):
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                if len(parts) == 2:
                    self.send_header("Content-Length", str(int(parts[1])))
                self.end_headers()
                block = pattern_bytes(0, 251 * 261)   # 65511 bytes, a whole number of periods
                try:
                    while True:
                        self.wfile.write(block)
                except OSError:
                    pass   # the client has gone
                self.close_connection = True
            elif name == "padded" and len(parts) >= 3:
                total = int(parts[1])
                path = "/" + "/".join(parts[2:])
                data, suffix = self.file_data(path)
                if data is None:
                    self.reply(404, b"Not found: " + path.encode("latin-1") + b"\r\n")
                    return
                if total < len(data):
                    raise ValueError
                # The shortest comment lines, so that the body has as many lines as it can: the most
                # work for a reader that walks them.
                gap = total - len(data)
                filler = (b"", b"\n", b"\r\n")[gap % 3] + b";\r\n" * (gap // 3)
                self.reply(200, filler + data, CONTENT_TYPES.get(suffix, "application/octet-stream"))
            elif name == "echo" and len(parts) == 1:
                self.reply(200, self.raw_request, "application/octet-stream")
            elif name == "set" and len(parts) == 1:
                values = urllib.parse.parse_qs(query, keep_blank_values=True, encoding="latin-1")
                if not values or any(k not in APPDATA_KEYS or len(v) != 1 or re.search(r"[\r\n]", v[0])
                                     for k, v in values.items()):
                    raise ValueError
                with self.site.lock:
                    self.site.overrides.update({k: v[0] for k, v in values.items()})
                self.reply(200, b"ok\r\n")
            elif name == "pace" and len(parts) == 2:
                pause = int(parts[1])
                if not 0 <= pause <= 10000:
                    raise ValueError
                with self.site.lock:
                    self.site.pace = pause / 1000.0
                self.reply(200, b"ok\r\n")
            elif name == "ftprate" and len(parts) == 2:
                rate = int(parts[1])
                if rate < 0:
                    raise ValueError
                PacedDTPHandler.read_limit = rate
                self.reply(200, b"ok\r\n")
            elif name == "ftprefuse" and len(parts) == 2 and re.fullmatch(r"[A-Za-z]{3,4}", parts[1]):
                with self.site.lock:
                    self.site.ftp_refused.add(parts[1].upper())
                self.reply(200, b"ok\r\n")
            elif name == "ftpsilent" and len(parts) == 2 and re.fullmatch(r"[A-Za-z]{3,4}", parts[1]):
                with self.site.lock:
                    self.site.ftp_silent.add(parts[1].upper())
                self.reply(200, b"ok\r\n")
            elif name == "ftptrickle" and len(parts) == 3 and re.fullmatch(r"[A-Za-z]{3,4}", parts[1]):
                pause = int(parts[2])
                if not 0 < pause <= 10000:
                    raise ValueError
                with self.site.lock:
                    self.site.ftp_trickled[parts[1].upper()] = pause / 1000.0
                self.reply(200, b"ok\r\n")
            elif name == "ftppreliminary" and len(parts) == 2 and re.fullmatch(r"[A-Za-z]{3,4}", parts[1]):
                with self.site.lock:
                    self.site.ftp_preliminary.add(parts[1].upper())
                self.reply(200, b"ok\r\n")
            elif name == "ftpstranger" and len(parts) == 1:
                with self.site.lock:
                    self.site.ftp_stranger = True
                self.reply(200, b"ok\r\n")
            elif name == "reset" and len(parts) == 1:
                with self.site.lock:
                    self.site.overrides.clear()
                    self.site.pace = 0.0
                    self.site.ftp_refused.clear()
                    self.site.ftp_silent.clear()
                    self.site.ftp_trickled.clear()
                    self.site.ftp_preliminary.clear()
                    self.site.ftp_stranger = False
                PacedDTPHandler.read_limit = 0
                self.reply(200, b"ok\r\n")
            else:
                self.reply(404, b"No such test hook.\r\n")
        except ValueError:
            self.reply(400, b"Bad test hook arguments.\r\n")

    def dispatch_inner(self):
        """Serves self.path as if it had been asked for (the end of a redirect chain)."""
        url = urllib.parse.urlsplit(self.path)
        if url.path.startswith("/_test/"):
            self.test_hook(url.path[len("/_test/"):], url.query)
        elif url.path in (SUBMIT_PATH, TELL_PATH) and self.command in ("PUT", "POST"):
            self.reply(200, SUBMIT_REPLY if url.path == SUBMIT_PATH else TELL_REPLY)
        else:
            self.serve_file(url.path)


class HttpServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


class PacedDTPHandler(ThrottledDTPHandler):
    """Data connections that take at most read_limit bytes a second (0: no limit; /_test/ftprate)."""

    read_limit = 0


class PacedActiveDTP(ActiveDTP):
    """Active data connections of a small receive buffer while uploads are slowed, set before the
    connect so that the sender cannot hand most of a file to the system at once."""

    def create_socket(self, family, type):
        super().create_socket(family, type)
        if PacedDTPHandler.read_limit:
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)


class LoggingFtpHandler(FTPHandler):
    """Writes every command line and reply of every session to LOG/ftp.log."""

    site = None   # set by main
    session_count = 0

    def on_connect(self):
        with self.site.lock:
            LoggingFtpHandler.session_count += 1
            self.session_id = LoggingFtpHandler.session_count
        self.ftp_log("connect from %s:%d" % (self.remote_ip, self.remote_port))

    def on_disconnect(self):
        trickle = getattr(self, "trickle", None)
        if trickle and trickle[0] < len(trickle[1]):
            self.ftp_log("= trickle cut after %d of %d bytes" % (trickle[0], len(trickle[1])))
        self.ftp_log("disconnect")

    def ftp_log(self, text):
        with self.site.lock:
            with open(os.path.join(self.site.log_dir, "ftp.log"), "a", encoding="latin-1") as f:
                f.write("%d %s\n" % (getattr(self, "session_id", 0), text))

    def pre_process_command(self, line, cmd, arg):
        self.ftp_log("> " + line)
        if cmd == "STOR":
            self.stored_name = arg or ""
        with self.site.lock:
            refused = cmd in self.site.ftp_refused
            silent = cmd in self.site.ftp_silent
            trickle_pause = self.site.ftp_trickled.get(cmd)
            preliminary = cmd in self.site.ftp_preliminary
            stranger = cmd == "PORT" and self.site.ftp_stranger
        if preliminary:
            self.respond("120 Ready in a moment (test hook).")
        if stranger:
            self.send_stranger(arg)
        if refused:
            self.respond("502 Refused (test hook).")
            return None
        if silent:
            return None  # no reply: the client must not wait for ever
        if trickle_pause:
            self.trickle_reply(cmd, trickle_pause)
            return None
        return super().pre_process_command(line, cmd, arg)

    def send_stranger(self, arg):
        """Connects to the client's data address (the PORT argument) from 127.0.0.2, before the server
        does, and records how many bytes the client sends there."""
        try:
            numbers = [int(n) for n in arg.split(",")]
            address = (".".join(map(str, numbers[:4])), numbers[4] * 256 + numbers[5])
            stranger = socket.create_connection(address, timeout=5, source_address=("127.0.0.2", 0))
        except (ValueError, IndexError, OSError) as error:
            self.ftp_log("= stranger could not connect: %s" % error)
            return
        self.ftp_log("= stranger connected to port %d" % address[1])

        def listen():
            received = 0
            try:
                while True:
                    data = stranger.recv(65536)
                    if not data:
                        break
                    received += len(data)
            except OSError:
                pass
            stranger.close()
            self.ftp_log("= stranger received %d bytes" % received)

        threading.Thread(target=listen, daemon=True).start()

    def trickle_reply(self, cmd, pause):
        """Answers cmd without running it, one byte every pause seconds (QUIT: 221, then closes;
        others: 200). The client must bound the whole reply, not each read."""
        code = "221" if cmd == "QUIT" else "200"
        self.trickle = [0, "%s-Answered one byte at a time (test hook).\r\n%s Done.\r\n" % (code, code)]
        self.ftp_log("< %s reply trickled, %d bytes" % (code, len(self.trickle[1])))

        def send_next():
            sent, reply = self.trickle
            if self._closed:
                return
            self.trickle[0] = sent + 1
            if sent + 1 < len(reply):
                self.push(reply[sent])
                self.ioloop.call_later(pause, send_next)
                return
            self.ftp_log("= trickle done")  # before the last byte, so that the client finds it logged
            self.push(reply[sent])
            if cmd == "QUIT":
                self.close_when_done()

        send_next()

    def respond(self, resp, logfun=None):
        # Test hook: a file stored as _test_final_<code>... gets <code> instead of the final 226.
        final = re.match(r"_test_final_(\d{3})", os.path.basename(getattr(self, "stored_name", "")))
        if final and resp.startswith("226"):
            resp = "%s Refused after the data (test hook)." % final.group(1)
        self.ftp_log("< " + resp)
        if logfun is None:
            return super().respond(resp)
        return super().respond(resp, logfun)

    def on_file_received(self, file):
        rel = os.path.relpath(file, self.site.ftp_root)
        self.ftp_log("= received /%s %d bytes" % (rel, os.path.getsize(file)))

    def on_incomplete_file_received(self, file):
        rel = os.path.relpath(file, self.site.ftp_root)
        self.ftp_log("= incomplete /%s %d bytes" % (rel, os.path.getsize(file)))


def main():
    parser = argparse.ArgumentParser(description="The sample web site (HTTP and FTP on 127.0.0.1).")
    parser.add_argument("--root", required=True, help="folder of the files served over HTTP")
    parser.add_argument("--http-port", type=int, default=0)
    parser.add_argument("--ftp-port", type=int, default=0)
    parser.add_argument("--ftp-root", required=True, help="the FTP user's home folder")
    parser.add_argument("--ftp-user", default="velmora")
    parser.add_argument("--ftp-password", default="skins")
    parser.add_argument("--log", required=True, help="folder for requests.log, put-<n>.bin and ftp.log")
    args = parser.parse_args()

    for folder in (args.log, args.ftp_root, os.path.join(args.ftp_root, FTP_UPLOAD_DIR),
                   os.path.join(args.ftp_root, FTP_FORBIDDEN_DIR)):
        os.makedirs(folder, exist_ok=True)
    site = Site(args)

    Handler.site = site
    httpd = HttpServer((HOST, args.http_port), Handler)
    site.http_port = httpd.server_address[1]

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.ftp_user, args.ftp_password, site.ftp_root, perm="elradfmwMT")
    # Listing is allowed, changing into it is not ("e" missing): CWD there is refused with 550.
    authorizer.override_perm(args.ftp_user, os.path.join(site.ftp_root, FTP_FORBIDDEN_DIR), perm="l",
                             recursive=True)
    LoggingFtpHandler.site = site
    LoggingFtpHandler.dtp_handler = PacedDTPHandler
    LoggingFtpHandler.active_dtp = PacedActiveDTP
    LoggingFtpHandler.authorizer = authorizer
    LoggingFtpHandler.banner = "Velmora sample FTP server ready."
    import logging
    logging.getLogger("pyftpdlib").setLevel(logging.CRITICAL)
    ftpd = FTPServer((HOST, args.ftp_port), LoggingFtpHandler)
    site.ftp_port = ftpd.address[1]

    threading.Thread(target=ftpd.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()

    def stop(signum, frame):
        threading.Thread(target=httpd.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print("http-port %d" % site.http_port)
    print("ftp-port %d" % site.ftp_port)
    print("ready", flush=True)
    httpd.serve_forever()
    sys.stdout.flush()
    os._exit(0)   # the FTP thread and running transfers end with the process


if __name__ == "__main__":
    sys.exit(main())
