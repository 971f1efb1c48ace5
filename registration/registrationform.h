#pragma once

#include "plateregistration.h"

#include <QString>
#include <QStringList>

// The form text posted to the plate registration server, built from the
// plate alone (no socket), so that it can be checked byte for byte.
struct RegistrationForm {
    QString text;  // the form, when error is empty
    QString error; // why the plate cannot be registered, for the operator

    bool Ok() const { return error.isEmpty(); }
};

// Bounds the form: a wild quantity in a stored plate would otherwise ask for
// billions of sheet entries.
inline constexpr qint64 kMaxSheetEntries = 100000;

// The form has room for five AFTER_WORK steps; later ones are not sent.
inline constexpr int kAfterWorkStepsSent = 5;
// The site signature with which the output step is sent last.
inline constexpr char16_t kOutputLastSignature[] = u"RVQ";

// Fields in their fixed order, every one ended by "&" except the last:
// plate fields, seven after-work steps, Maxnum, then all Ordernum fields and
// all Seq fields (case and sheet number of each sheet entry). Values go in as
// they are, except that "%", "&", "+" and "=" are percent-encoded so that a
// value cannot split the form or add fields to it.
// Fails when the plate quantity is below 1 or the sheet entries would exceed
// kMaxSheetEntries.
RegistrationForm BuildRegistrationForm(const PlateRegistration& plate,
                                       const QString& siteSignature);

// AFTER_WORK split at ";" into its non-empty steps (runs of ";" are one
// separator).
QStringList AfterWorkSteps(const QString& afterWork);

// Number of sheet entries of one case: ceil(orderQuantity / plateQuantity),
// none for a quantity of 0 or less. plateQuantity must be at least 1.
qint64 SheetsPerCase(int orderQuantity, int plateQuantity);

// A value as it goes into the form.
QString FormValue(const QString& value);
