#pragma once

#include "core/platform/result.h"

#include <QTest>

/// The value of a result the test expects to succeed; on failure the test fails with the error
/// and goes on with an empty value, so a comparison after it fails too.
template<typename T> T expectValue(const Result<T> &result)
{
    if (!result)
        QTest::qFail(qPrintable(QStringLiteral("unexpected failure: ") + result.error()), __FILE__, __LINE__);
    return result.valueOr(T{});
}

/// A result of any type as a result without a value, for tests that run queries and changes
/// alike and look only at whether and how they failed.
template<typename T> Result<void> outcomeOf(const Result<T> &result)
{
    if (!result)
        return result.failure();
    return done();
}
