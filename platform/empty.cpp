// Placeholder translation unit for a platform library whose folder has no sources yet.
