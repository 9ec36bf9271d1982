/* kd_ref_server.exe, the serve benchmark's reference: the least a correct
 * HTTP/1.1 server on Winsock does for one request on one connection. One
 * thread, blocking calls: accept, read until the head's empty line, send one
 * fixed 404 that closes the connection, shut down for sending, read until the
 * client closes, close. What kdhost --serve spends beyond it is its own.
 *
 *   kd_ref_server PORT SECONDS   listens on 127.0.0.1:PORT (0: any free one),
 *                                prints the port it took, and stops by itself
 *                                after SECONDS (1 to 3600). */
#include <winsock2.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kAnswer[] = "HTTP/1.1 404 Not Found\r\n"
                              "Content-Type: text/plain\r\n"
                              "Content-Length: 10\r\n"
                              "Connection: close\r\n"
                              "\r\n"
                              "not found\n";

static SOCKET g_listener = INVALID_SOCKET;
static volatile LONG g_stopping;

/* The bound: when the time is up the listener is closed, the blocked accept
 * fails and the loop ends; a client that still holds an exchange open a few
 * seconds later cannot keep the process alive. */
static DWORD WINAPI StopAfter(LPVOID milliseconds) {
    Sleep((DWORD)(UINT_PTR)milliseconds);
    InterlockedExchange(&g_stopping, 1);
    closesocket(g_listener);
    Sleep(5000);
    fprintf(stderr, "kd_ref_server: a client held its connection past the end; stopped\n");
    ExitProcess(3);
}

/* Reads until the head is whole; a head over the buffer, a client that
 * leaves, or an error ends the exchange without an answer. */
static int ReadHead(SOCKET s) {
    char head[8192];
    int got = 0;
    while (got < (int)sizeof head) {
        int n = recv(s, head + got, (int)sizeof head - got, 0);
        if (n <= 0) {
            return 0;
        }
        /* Scan from where the empty line could begin. */
        int from = got >= 3 ? got - 3 : 0;
        got += n;
        for (int i = from; i + 3 < got; ++i) {
            if (memcmp(head + i, "\r\n\r\n", 4) == 0) {
                return 1;
            }
        }
    }
    return 0;
}

static void Answer(SOCKET s) {
    if (ReadHead(s)) {
        send(s, kAnswer, (int)sizeof kAnswer - 1, 0);
    }
    shutdown(s, SD_SEND);
    char discard[4096];
    while (recv(s, discard, sizeof discard, 0) > 0) {
    }
    closesocket(s);
}

static int Usage(void) {
    fprintf(stderr, "usage: kd_ref_server PORT SECONDS (a port from 0 to 65535, 1 to 3600 s)\n");
    return 2;
}

int main(int argc, char **argv) {
    char *end;
    if (argc != 3) {
        return Usage();
    }
    unsigned long port = strtoul(argv[1], &end, 10);
    if (*argv[1] == '\0' || *end != '\0' || port > 65535) {
        return Usage();
    }
    unsigned long seconds = strtoul(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || seconds < 1 || seconds > 3600) {
        return Usage();
    }
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        fprintf(stderr, "kd_ref_server: Winsock did not start\n");
        return 1;
    }
    struct sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK); /* loopback only */
    address.sin_port = htons((u_short)port);
    int length = sizeof address;
    g_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (g_listener == INVALID_SOCKET ||
        bind(g_listener, (struct sockaddr *)&address, sizeof address) != 0 ||
        listen(g_listener, SOMAXCONN) != 0 ||
        getsockname(g_listener, (struct sockaddr *)&address, &length) != 0) {
        fprintf(stderr, "kd_ref_server: cannot listen on 127.0.0.1:%lu (Winsock error %d)\n", port,
                WSAGetLastError());
        return 1;
    }
    if (CreateThread(NULL, 0, StopAfter, (LPVOID)(UINT_PTR)(seconds * 1000), 0, NULL) == NULL) {
        fprintf(stderr, "kd_ref_server: cannot start its timer\n");
        return 1;
    }
    printf("kd_ref_server: listening on 127.0.0.1:%u for %lu s\n", ntohs(address.sin_port),
           seconds);
    fflush(stdout);
    unsigned long served = 0;
    for (;;) {
        SOCKET s = accept(g_listener, NULL, NULL);
        if (s == INVALID_SOCKET) {
            if (g_stopping) {
                break; /* the time is up */
            }
            continue; /* that client gave up before it was taken */
        }
        Answer(s);
        ++served;
    }
    printf("kd_ref_server: stopped after %lu connections\n", served);
    WSACleanup();
    return 0;
}
