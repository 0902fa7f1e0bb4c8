#!/bin/sh
# Runs one Wine test with a Wine server of its own, up from its first program to its end.
# usage: wine_server.sh [VAR=VALUE...] COMMAND [ARGUMENT...]   (WINEPREFIX set)
# Debian's Wine starts its server with no delay before it quits (-p0): it ends as the last program
# ends, and a program started in that moment can meet it going ("wine client error:0: recvmsg:
# Connection reset by peer", seen once in the stage pack test between two runs of tessera.exe). A
# server kept up for the whole test leaves no such moment between its programs.
set -u
# A second server in one prefix would be refused. The test before ended its own, unless it was
# killed (at its time limit, say) and left it up for good: waiting for that one would never end.
wineserver -k 2>/dev/null
wineserver -w
wineserver -p || { echo "wine_server.sh: no Wine server could be started in $WINEPREFIX" >&2; exit 1; }
# The server's own programs (services.exe and the like) start with the first program and live as long
# as the server: started here, they hold no pipe of the test's, whose reader would wait for them.
wine cmd /c exit </dev/null >/dev/null 2>&1 || { echo "wine_server.sh: Wine could not start in $WINEPREFIX" >&2; wineserver -k; exit 1; }
env "$@"
status=$?
# Every program of the test ends with the server, and the next test starts its own.
wineserver -k
wineserver -w
exit $status
