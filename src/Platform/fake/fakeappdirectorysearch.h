#pragma once

#include "appdirectorysearch.h"

// A search whose results and notices the test sets: setResults() changes what results() returns, finishGathering()
// and postUpdate() send the notices. Records the scopes it was started with and how often its results were read.
class FakeAppDirectorySearch : public AppDirectorySearch
{
    Q_OBJECT
public:
    using AppDirectorySearch::AppDirectorySearch;

    void start(const QStringList &scopes) override
    {
        ++m_startCount;
        m_scopes = scopes;
    }
    [[nodiscard]] QList<Hit> results() const override
    {
        ++m_resultReads;
        return m_hits;
    }

    void setResults(QList<Hit> hits) { m_hits = std::move(hits); }
    void finishGathering() { Q_EMIT gatheringFinished(); }
    void postUpdate() { Q_EMIT updated(); }

    [[nodiscard]] int startCount() const { return m_startCount; }
    [[nodiscard]] const QStringList &scopes() const { return m_scopes; }
    [[nodiscard]] int resultReads() const { return m_resultReads; }

private:
    QList<Hit> m_hits;
    QStringList m_scopes;
    int m_startCount = 0;
    mutable int m_resultReads = 0;
};
