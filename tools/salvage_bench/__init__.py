"""The salvage benchmark: a seeded corpus of PSD and PSB files, seeded damage, and the rows each tool gives back."""
