#!/usr/bin/env python3
"""A loopback stand-in for the USGS feeds during the soak test: the month feed (its events
moved to the last days) and the weekly list, with every third request answered 500."""
import http.server
import json
import sys
import time

feed_file, week_file, port = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(feed_file) as f:
    feed = json.load(f)
newest = max(x["properties"]["time"] for x in feed["features"])
shift = int(time.time() * 1000) - newest - 3600 * 1000
for x in feed["features"]:
    x["properties"]["time"] += shift
    x["properties"]["detail"] = None
feed_bytes = json.dumps(feed).encode()
with open(week_file, "rb") as f:
    week_bytes = f.read()
requests = 0


class handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        global requests
        requests += 1
        path = self.path.split("?")[0]
        if requests % 3 == 0:
            body, status, kind = b"failing on purpose", 500, "text/plain"
        elif path.endswith("2.5_month.geojson"):
            body, status, kind = feed_bytes, 200, "application/json"
        elif path.endswith("1.0_week.csv"):
            body, status, kind = week_bytes, 200, "text/csv"
        else:
            body, status, kind = b"not here", 404, "text/plain"
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", port), handler).serve_forever()
