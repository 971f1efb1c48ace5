#pragma once

#include "engine/operatorinterface.h"
#include "engine/shopcontext.h"
#include "output/pdfserver.h"
#include "records/progresssink.h"
#include "records/zelaccount.h"
#include "records/zelcolorpresets.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"
#include "records/zelserverpreset.h"

#include <memory>

// The installation a plate command works on (--home or TESSEL_HOME): its
// preference file, the site preset, the colour table and the composition
// library beside the program.
class Installation {
public:
    // False with the reason when the preference file is missing or invalid,
    // or (when asked for) the library cannot be loaded.
    bool Load(bool withLibrary, QString* error);

    CZelPreference preference;
    CZelServerPreset site;
    CZelColorPresets colors;
    CZelPressMarkPresets colorBars;
    CZelPressMarkPresets registrationMarks;
    CPDFServer pdf;

    // The plate's view of the shop: these tables, the library (when loaded)
    // and label previews drawn with it.
    ShopContext Context(OperatorInterface* op, ProgressSink* progress);
};

// The operator on the command line: questions are answered by a flag and
// both are printed, so that a run can be read afterwards. Without a flag the
// first question is answered no and kept, for the command to fail with it.
class CliOperator : public OperatorInterface {
public:
    enum class Answer { Yes, No, None };
    explicit CliOperator(Answer answer) : m_answer(answer) {}
    bool Ask(const QString& question) override;
    void Tell(const QString& message) override;
    // The first question asked while no answer was given.
    const QString& Unanswered() const { return m_unanswered; }

private:
    Answer m_answer;
    QString m_unanswered;
};

// A logged-in account for the length of a command; logs out when it ends.
class CliLogin {
public:
    // False with the operator's message (wrong password, in use) or a reason.
    bool Login(CZelPreference& preference, const QString& account, const QString& password,
               QString* error);
    CZelAccount* Account() const { return m_account.get(); }

private:
    std::unique_ptr<CZelAccount> m_account;
};
