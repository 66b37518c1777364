#pragma once
// Stand-in for the WinINet subset the plug-in uses to read a web page: open an internet session, open a
// URL, query the response's headers, read its body, close the handles.
//
// InternetOpenUrlA performs a real HTTP/1.0 GET over TCP (http:// URLs only; the connection times out
// after a few seconds) and keeps the whole response with its handle, so the later calls never wait.
// Redirects are followed as WinINet does. Failures set the thread's last error (GetLastError) to the
// WinINet error code.
#include <windows.h>

typedef LPVOID HINTERNET;
typedef WORD INTERNET_PORT;

// InternetOpenA access types.
#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_OPEN_TYPE_PROXY 3

// InternetOpenUrlA flags (accepted; the stand-in keeps no cache, so the cache flags change nothing).
#define INTERNET_FLAG_RELOAD 0x80000000
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000
#define INTERNET_FLAG_PRAGMA_NOCACHE 0x00000100
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000
#define INTERNET_FLAG_NO_UI 0x00000200

#define INTERNET_DEFAULT_HTTP_PORT 80

// HttpQueryInfoA information levels and modifiers.
#define HTTP_QUERY_CONTENT_TYPE 1
#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_STATUS_TEXT 20
#define HTTP_QUERY_RAW_HEADERS_CRLF 22
#define HTTP_QUERY_LOCATION 33
#define HTTP_QUERY_SERVER 37
#define HTTP_QUERY_FLAG_NUMBER 0x20000000
#define HTTP_QUERY_MODIFIER_FLAGS_MASK 0xF0000000
#define HTTP_QUERY_HEADER_MASK 0x0000FFFF

#define HTTP_STATUS_OK 200

// WinINet error codes.
#define INTERNET_ERROR_BASE 12000
#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_RESET 12031L
#define ERROR_HTTP_HEADER_NOT_FOUND 12150L
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152L
#define ERROR_HTTP_REDIRECT_FAILED 12156L

extern "C" {
// Opens an internet session; the agent name is sent as the User-Agent of its requests.
HINTERNET WINAPI InternetOpenA(LPCSTR lpszAgent, DWORD dwAccessType, LPCSTR lpszProxy, LPCSTR lpszProxyBypass,
                               DWORD dwFlags);
// Fetches the URL within the session. NULL on failure (bad URL or scheme, unknown host, no connection,
// timeout, malformed response). An HTTP error status is still a response: query HTTP_QUERY_STATUS_CODE.
// Additional headers are not sent.
HINTERNET WINAPI InternetOpenUrlA(HINTERNET hInternet, LPCSTR lpszUrl, LPCSTR lpszHeaders,
                                  DWORD dwHeadersLength, DWORD dwFlags, DWORD_PTR dwContext);
// Answers a response header (by level, the first occurrence; *lpdwIndex picks a later one and is advanced).
// As text: copied with a terminating NUL, *lpdwBufferLength set to its length without the NUL; a buffer too
// small fails with ERROR_INSUFFICIENT_BUFFER and the size needed (NUL included) in *lpdwBufferLength.
// With HTTP_QUERY_FLAG_NUMBER: the value as a DWORD.
BOOL WINAPI HttpQueryInfoA(HINTERNET hRequest, DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength,
                           LPDWORD lpdwIndex);
// Copies up to dwNumberOfBytesToRead bytes of the body; at the end of the body it succeeds reading 0 bytes.
BOOL WINAPI InternetReadFile(HINTERNET hFile, LPVOID lpBuffer, DWORD dwNumberOfBytesToRead,
                             LPDWORD lpdwNumberOfBytesRead);
// Closes a handle; closing a session also closes the requests opened in it.
BOOL WINAPI InternetCloseHandle(HINTERNET hInternet);
}
