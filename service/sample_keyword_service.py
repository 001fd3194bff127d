#!/usr/bin/env python3
"""A small stand-in for the keyword-statistics service, for trying Quorvane out and for demos.

Serves, for any keyword, a page in code page 936 at /word/<keyword>.html (POST and GET). The page has
five <div id="main"> blocks; the fourth holds a table of statistics for the keyword. The figures are
SAMPLE DATA: made up, but the same for the same keyword every time. The other blocks are page
furniture (navigation, search box, notices, footer).

Usage: sample_keyword_service.py [--port 18936] [--host 127.0.0.1]
"""
import argparse
import hashlib
import html
import http.server
import re
import sys
import urllib.parse

SUFFIXES = ["价格", "多少钱", "哪个好", "排行榜", "官网", "怎么样", "推荐", "品牌", "图片", "批发"]


def keyword_from_path(raw_path):
    """The keyword of /word/<keyword>.html as text, or None. The path arrives as raw bytes
    (code page 936, a space escaped as %20)."""
    m = re.fullmatch(rb"/word/(.*)\.html", raw_path.split(b"?", 1)[0], re.S)
    if not m:
        return None
    return urllib.parse.unquote_to_bytes(m.group(1)).decode("gbk", errors="replace")


def figures(keyword, salt):
    digest = hashlib.sha256((salt + "\0" + keyword).encode("utf-8")).digest()
    return int.from_bytes(digest[:8], "little")


def statistics_block(keyword):
    k = html.escape(keyword)
    rows = []
    for i, suffix in enumerate([""] + SUFFIXES):
        word = keyword + suffix
        n = figures(word, "index")
        index = 50 + n % 9950
        pc = index * (3 + n % 7) // 10
        mobile = index - pc
        competition = ["低", "中", "高"][n % 3]
        bid = (n // 7) % 900 / 100 + 0.3
        rows.append(
            "<tr><td>%d</td><td>%s</td><td>%d</td><td>%d</td><td>%d</td><td>%s</td><td>%.2f</td></tr>"
            % (i + 1, html.escape(word), index, pc, mobile, competition, bid))
    return (
        '<div id="main">\n'
        "<h2>“%s”的关键词统计</h2>\n"
        '<p><font color="#c00000">样例数据：以下数字由示例服务生成，仅供演示，不是真实统计。</font></p>\n'
        '<table border="1" cellpadding="4">\n'
        "<tr><th>序号</th><th>关键词</th><th>百度指数</th><th>PC 指数</th><th>移动指数</th>"
        "<th>竞争度</th><th>推荐出价（元）</th></tr>\n"
        "%s\n</table>\n"
        "<p>共 %d 个相关关键词。</p>\n"
        "</div>" % (k, "\n".join(rows), len(rows)))


def page(keyword):
    k = html.escape(keyword)
    return (
        "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\"><title>%s - 关键词挖掘（示例服务）</title></head>\n"
        "<body>\n"
        '<div id="main"><a href="/">首页</a> | <a href="/word/">关键词</a> | <a href="/help">帮助</a></div>\n'
        '<div id="main"><form method="post"><input name="kw" value="%s"> <input type="submit" value="查询"></form></div>\n'
        '<div id="main"><p>公告：本页面由 Quorvane 示例关键词服务生成。</p></div>\n'
        "%s\n"
        '<div id="main"><p>© 示例关键词服务 · 仅供演示</p></div>\n'
        "</body></html>\n" % (k, k, statistics_block(keyword))).encode("gbk", errors="replace")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def answer(self):
        raw_path = self.path.encode("latin-1")  # the request line is read as Latin-1: bytes come back unchanged
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        keyword = keyword_from_path(raw_path)
        if keyword is None:
            body = "<html><body><h1>404 找不到页面</h1></body></html>".encode("gbk")
            status = 404
        else:
            body = page(keyword)
            status = 200
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=gbk")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    do_GET = answer
    do_POST = answer

    def log_message(self, fmt, *args):
        sys.stderr.write("sample service: %s\n" % (fmt % args))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=18936)
    parser.add_argument("--host", default="127.0.0.1")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer((args.host, args.port), Handler)
    print("sample keyword service on http://%s:%d/word/" % (args.host, args.port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
