#pragma once
#include <QByteArray>
#include <QDir>
#include <QString>
#include <QUrl>

// Rules for what the updater may fetch, open and write.

// Redirects followed for one request before giving up.
constexpr int kMaxRedirects = 5;

// Name used when the address yields no usable file name.
QString defaultDownloadFileName();

// https anywhere; http only to a loopback address (tests, local mirrors).
bool isFetchAllowed(const QUrl& url);

bool isLoopbackHost(const QString& host);

// Resolves a Location header against the request address. The result is
// invalid when the target may not be followed (bad address, https to http,
// a scheme that may not be fetched).
QUrl redirectTarget(const QUrl& request, const QByteArray& location);

bool isRedirectStatus(int httpStatus);

// A plain file name from the last path part of a download address: no
// query, no folders, no leading dots, only harmless ASCII characters (others
// become "_"), at most 120 characters. A longer name loses its front, so its
// suffix survives; with ".part" or " (n)" added it stays far below the
// 255-byte limit of a file name.
QString sanitizedDownloadFileName(const QUrl& url);
// The same rule for a name given directly (folders are dropped).
QString sanitizedFileName(const QString& name);

// Full path in dir for fileName that names no existing file; adds " (n)"
// before the suffix when needed. Empty when no free name is found.
QString freeFilePath(const QDir& dir, const QString& fileName);
