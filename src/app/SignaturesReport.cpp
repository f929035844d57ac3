#include "app/SignaturesReport.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "engine/CurrentSignatures.h"

#include <string>

namespace halvik::app {
namespace {

const char* placeName(engine::SignaturePlace place) {
  switch (place) {
    case engine::SignaturePlace::Program: return "livr\u00E9es avec le programme";
    case engine::SignaturePlace::User: return "mises \u00E0 jour de l'utilisateur";
    case engine::SignaturePlace::Machine: return "mises \u00E0 jour pour tous les utilisateurs";
  }
  return "";
}

std::string described(const engine::SignatureSet& set) {
  return "version " + std::to_string(set.version()) + (set.date().empty() ? "" : " du " + escapedForLine(set.date())) +
         ", " + std::to_string(set.count()) + " noms";
}

std::string stateOf(const engine::SignatureCandidate& candidate) {
  if (candidate.set) return "valides, " + described(*candidate.set);
  if (!candidate.present) return "absentes";
  return "refus\u00E9es : " + escapedForLine(candidate.refusal);
}

}  // namespace

int reportSignatures(std::ostream& out) {
  engine::reloadSignatures();
  const auto current = engine::currentSignatures();
  if (engine::haveSignatures())
    out << "Signatures en usage : " << described(*current) << "\n  venant de " << escapedForLine(current->origin())
        << '\n';
  else
    out << "Signatures en usage : aucune, aucun ensemble valide n'a \u00E9t\u00E9 trouv\u00E9\n";
  out << "Ensembles trouv\u00E9s :\n";
  for (const auto& candidate : engine::signatureCandidates()) {
    const bool inUse = candidate.set == current;
    out << "  " << placeName(candidate.place) << " (" << escapedForLine(candidate.folder)
        << ") : " << (inUse ? "en usage" : stateOf(candidate)) << '\n';
  }
  return engine::haveSignatures() ? kNothingFound : kUsageOrRunError;
}

}  // namespace halvik::app
