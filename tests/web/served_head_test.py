#!/usr/bin/python3
"""HEAD through the real server and its pages: for a page and for its JSON under /api/, HEAD
gets the status and headers GET gets (all but the date) and no body.
Usage: served_head_test.py PROGRAM_DIR"""

import http.client
import sys
import urllib.parse

from served_catalogue import ARTIST, WAIT_S, served_catalogue

PATHS = ["/", "/buscar?q=" + urllib.parse.quote(ARTIST), "/listado/1", "/estadisticas",
         "/api/buscar?q=" + urllib.parse.quote(ARTIST), "/api/listado/1"]


def exchange(address, method, path):
    connection = http.client.HTTPConnection(address.hostname, address.port, timeout=WAIT_S)
    try:
        connection.request(method, path)
        response = connection.getresponse()
        headers = {name.lower(): value for name, value in response.getheaders()}
        headers.pop("date", None)
        return response.status, headers, response.read()
    finally:
        connection.close()


def main():
    faults = []
    with served_catalogue(sys.argv[1]) as catalogue:
        address = urllib.parse.urlsplit(catalogue.url)
        for path in PATHS:
            get_status, get_headers, body = exchange(address, "GET", path)
            head_status, head_headers, head_body = exchange(address, "HEAD", path)
            if get_status != 200 or not body:
                faults.append(f"GET {path}: {get_status}, {len(body)} bytes")
            if (head_status, head_headers) != (get_status, get_headers):
                faults.append(f"HEAD {path}: {head_status} {head_headers}, "
                              f"GET: {get_status} {get_headers}")
            if head_body:
                faults.append(f"HEAD {path} trae {len(head_body)} bytes")
    if faults:
        sys.exit("\n".join(faults))
    print(f"HEAD como GET sin cuerpo en {len(PATHS)} direcciones")


if __name__ == "__main__":
    main()
