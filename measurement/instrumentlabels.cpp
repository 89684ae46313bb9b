#include "measurement/instrumentlabels.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr int kMaxLabelLength = 32;

bool labelTaken(const QString &label, const QStringList &taken)
{
    return taken.contains(label, Qt::CaseInsensitive);
}

} // namespace

LabelCheck checkInstrumentLabel(const QString &label, const QStringList &otherLabels)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_-]{1,32}$"));
    if (!form.match(label).hasMatch())
        return LabelCheck::Invalid;
    return labelTaken(label, otherLabels) ? LabelCheck::Taken : LabelCheck::Ok;
}

QString defaultInstrumentLabel(const QString &port, const QString &place, const QStringList &taken)
{
    QString base = QFileInfo(place.isEmpty() ? port : place).fileName();
    for (QChar &c : base) {
        const bool allowed = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                             (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                             (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             c == QLatin1Char('_') || c == QLatin1Char('-');
        if (!allowed)
            c = QLatin1Char('-');
    }
    if (base.isEmpty())
        base = QStringLiteral("KX740D");
    QString label = base.right(kMaxLabelLength);
    for (int n = 2; labelTaken(label, taken); ++n) {
        const QString suffix = QLatin1Char('-') + QString::number(n);
        label = base.right(kMaxLabelLength - suffix.size()) + suffix;
    }
    return label;
}
