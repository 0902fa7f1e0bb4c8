"""Serving the browser page over HTTP with the types its files need: for scripts/serve-web and the browser tests."""
import functools
import http.server


class PageHandler(http.server.SimpleHTTPRequestHandler):
    """A static file handler that knows the page's WebAssembly, manifest and script types."""

    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".webmanifest": "application/manifest+json", ".js": "text/javascript"}


def page_server(directory, port, handler=PageHandler):
    """A threading server of directory on 127.0.0.1 at port (0: a free one)."""
    return http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(handler, directory=directory))
