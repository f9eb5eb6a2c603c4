echo never
