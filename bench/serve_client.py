#!/usr/bin/python3
"""Load client of serve_bench.sh: REQUESTS requests from CLIENTS concurrent clients, each bound
to a loopback address of its own (127.0.0.2, 127.0.0.3, ...) so that the server's limits per
address hold as they would for a house of browsers. Each client keeps one connection open and
asks the given paths in turn. Prints one line of figures: requests, answered, statuses,
client-side p50/p95/max in milliseconds, wall time."""

import argparse
import http.client
import threading
import time
import urllib.parse


MAX_CLIENTS = 250


def client_address(index):
    return f"127.0.0.{index + 2}"


def session_cookie(connection, key):
    connection.request("GET", "/?clave=" + urllib.parse.quote(key))
    response = connection.getresponse()
    response.read()
    cookie = response.getheader("Set-Cookie", "")
    return cookie.split(";", 1)[0]


def run_client(index, count, args, results):
    connection = http.client.HTTPConnection(args.host, args.port, timeout=args.timeout,
                                            source_address=(client_address(index), 0))
    headers = {}
    if args.key:
        headers["Cookie"] = session_cookie(connection, args.key)
    for number in range(count):
        path = args.path[(index + number) % len(args.path)]
        start = time.perf_counter()
        try:
            connection.request("GET", path, headers=headers)
            response = connection.getresponse()
            response.read()
            status = response.status
        except (OSError, http.client.HTTPException):
            connection.close()
            status = 0
        results.append((status, (time.perf_counter() - start) * 1000.0))


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))] if ordered else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=8642)
    parser.add_argument("--requests", type=int, default=1000)
    parser.add_argument("--clients", type=int, default=64)
    parser.add_argument("--path", action="append", default=None)
    parser.add_argument("--key", default="")
    parser.add_argument("--timeout", type=float, default=10.0)
    args = parser.parse_args()
    args.path = args.path or ["/"]
    if not 1 <= args.clients <= MAX_CLIENTS:
        parser.error(f"--clients va de 1 a {MAX_CLIENTS}: una dirección de 127.0.0.x cada uno")

    results = []
    threads = []
    start = time.perf_counter()
    for index in range(args.clients):
        count = args.requests // args.clients + (1 if index < args.requests % args.clients else 0)
        thread = threading.Thread(target=run_client, args=(index, count, args, results))
        threads.append(thread)
        thread.start()
    for thread in threads:
        thread.join()
    wall = time.perf_counter() - start

    statuses = {}
    for status, _ in results:
        statuses[status] = statuses.get(status, 0) + 1
    answered = sum(count for status, count in statuses.items() if status != 0)
    times = [ms for status, ms in results if status == 200]
    shown = " ".join(f"{status}:{count}" for status, count in sorted(statuses.items()))
    print(f"requests={len(results)} answered={answered} statuses={shown} "
          f"p50_ms={percentile(times, 0.50):.1f} p95_ms={percentile(times, 0.95):.1f} "
          f"max_ms={max(times, default=0.0):.1f} wall_s={wall:.2f}")


if __name__ == "__main__":
    main()
