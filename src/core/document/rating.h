#pragma once

/// A student's rating in one category, and the section of the library a stock comment is
/// written for: 优秀 (好), 良好 (中), 后进 (差). None is a ratings cell not filled in yet; no stock
/// comment is written for it. The three ratings come first: they index the library's sections.
enum class Rating { Excellent, Good, Lagging, None };
