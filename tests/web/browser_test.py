#!/usr/bin/python3
"""The catalogue's pages in a real browser: Debian's chromium, headless, driven over its DevTools
protocol against `quillet serve` on a private catalogue. Searches from the home page's form,
goes to the next page, opens a listing and goes back, as a user does; every page shows the
script title as text, has no script element and opens no dialog, and the answers carry the
content security policy. Leaves nothing behind: chromium's profile is in the catalogue's
temporary folder, and chromium and the server are stopped.
Usage: browser_test.py PROGRAM_DIR"""

import json
import os
import signal
import subprocess
import sys
import time
import urllib.parse
import urllib.request

import websocket

from served_catalogue import ARTIST, SCRIPT_TITLE, WAIT_S, served_catalogue

CSP = "default-src 'none'; style-src 'self'; img-src 'self' data:"


def local_get(url):
    """A GET on loopback that no proxy of the environment sees."""
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
    with opener.open(url, timeout=WAIT_S) as answer:
        return answer.read()


def wait_until(check, what):
    end = time.monotonic() + WAIT_S
    while time.monotonic() < end:
        result = check()
        if result:
            return result
        time.sleep(0.05)
    raise AssertionError(f"no llegó a tiempo: {what}")


class Chromium:
    """A headless chromium with a profile in profile_dir, and a DevTools session on its page."""

    def __init__(self, profile_dir, env):
        arguments = ["/usr/bin/chromium", "--headless", "--disable-gpu", "--no-first-run",
                     "--no-default-browser-check", "--disable-extensions", "--no-proxy-server",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--disable-crash-reporter", "--remote-debugging-port=0",
                     f"--user-data-dir={profile_dir}", "about:blank"]
        if os.geteuid() == 0:
            arguments.insert(1, "--no-sandbox")
        # A session of its own, so that stopping it stops its helper processes too.
        self.process = subprocess.Popen(arguments, env=env, start_new_session=True,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.events = []
        self.next_id = 0
        self.socket = websocket.create_connection(self.page_socket_url(profile_dir),
                                                  timeout=WAIT_S, suppress_origin=True)
        for domain in ("Page", "Network", "Runtime"):
            self.call(f"{domain}.enable")

    def page_socket_url(self, profile_dir):
        active_port = os.path.join(profile_dir, "DevToolsActivePort")
        wait_until(lambda: os.path.exists(active_port) and os.path.getsize(active_port) > 0,
                   "el puerto de DevTools de chromium")
        with open(active_port) as port_file:
            port = port_file.readline().strip()
        targets = json.loads(local_get(f"http://127.0.0.1:{port}/json/list"))
        return next(t["webSocketDebuggerUrl"] for t in targets if t["type"] == "page")

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                return message
            self.events.append(message)

    def evaluate(self, expression):
        """The expression's value in the page; None while the page is changing."""
        answer = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        result = answer.get("result", {})
        if "error" in answer or "exceptionDetails" in result:
            return None
        return result.get("result", {}).get("value")

    def go(self, action, **params):
        """Does action (a script in the page, or a DevTools method) and waits for the next
        page to be complete; returns its address."""
        before = self.evaluate("location.href")
        if action.startswith("Page."):
            self.call(action, **params)
        else:
            self.evaluate(action)
        return wait_until(
            lambda: self.evaluate("document.readyState == 'complete' && location.href != "
                                  f"{json.dumps(before)} && location.href"),
            f"la página siguiente a {before}")

    def text(self):
        return self.evaluate("document.body.innerText")

    def document_headers(self, url):
        """The headers of the last answer chromium got for the page at url."""
        self.call("Runtime.evaluate", expression="1")  # reads the events sent meanwhile
        answers = [e["params"]["response"] for e in self.events
                   if e.get("method") == "Network.responseReceived"
                   and e["params"]["response"]["url"] == url]
        assert answers, f"ninguna respuesta de {url}"
        return {name.lower(): value for name, value in answers[-1]["headers"].items()}

    def dialogs(self):
        return [e for e in self.events if e.get("method") == "Page.javascriptDialogOpening"]

    def close(self):
        self.socket.close()
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def check_page_is_inert(browser, url):
    check(browser.evaluate("document.querySelectorAll('script').length") == 0,
          f"{url} tiene un elemento script")
    check(browser.document_headers(url).get("content-security-policy") == CSP,
          f"{url} llega sin la política de contenido")
    check(not browser.dialogs(), f"se abrió un diálogo de JavaScript: {browser.dialogs()}")


def browse(catalogue, browser):
    home = browser.go("Page.navigate", url=catalogue.url)
    check(urllib.parse.urlsplit(home).path == "/", f"la dirección lista lleva a {home}")

    word = ARTIST.split()[0].lower()
    browser.call("Runtime.evaluate", expression="document.querySelector('input[name=q]').focus()")
    browser.call("Input.insertText", text=word)
    first = browser.go("document.querySelector('form.buscar button').click()")
    check(urllib.parse.parse_qs(urllib.parse.urlsplit(first).query).get("q") == [word],
          f"la búsqueda llevó a {first}")
    check("Página 1 de 2" in browser.text(), f"la búsqueda no tiene dos páginas: {first}")
    check_page_is_inert(browser, first)

    second = browser.go("[...document.querySelectorAll('nav.paginas a')]"
                        ".find(a => a.textContent.startsWith('Siguiente')).click()")
    second_text = browser.text()
    check("pagina=2" in second and "Página 2 de 2" in second_text,
          f"la página siguiente es {second}")
    check_page_is_inert(browser, second)

    listing = browser.go("document.querySelector('section.disco h2 a').click()")
    check(urllib.parse.urlsplit(listing).path == "/listado/1", f"el listado es {listing}")
    check(SCRIPT_TITLE in browser.text(), "el título con <script> no se ve como texto")
    check_page_is_inert(browser, listing)

    history = browser.call("Page.getNavigationHistory")["result"]
    previous = history["entries"][history["currentIndex"] - 1]
    back = browser.go("Page.navigateToHistoryEntry", entryId=previous["id"])
    check(back == second, f"atrás lleva a {back}, no a {second}")
    check(browser.text() == second_text, "atrás no muestra la misma página")
    check(not browser.dialogs(), "se abrió un diálogo de JavaScript")


def main():
    with served_catalogue(sys.argv[1]) as catalogue:
        profile = os.path.join(catalogue.work, "chromium")
        browser = Chromium(profile, catalogue.env)
        try:
            browse(catalogue, browser)
        finally:
            browser.close()
    print("chromium: buscar, siguiente, listado y atrás; el título con <script> es texto")


if __name__ == "__main__":
    main()
